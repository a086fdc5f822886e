// The block registry: every block of both heaps by address, with its size,
// label and age, and the live-block report built from it.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <sstream>

#include "engine/zelmem/internal.h"

namespace zelmem {

constinit std::mutex g_lock;

namespace {

uint64_t g_nextSeq = 1;
std::atomic<unsigned> g_debuggerCalls{0};
bool g_badPointerReported = false;

} // namespace

NodeMap& nodes()
{
    static NodeMap* map = [] {
        auto* m = new NodeMap;
        m->reserve(1024);
        return m;
    }();
    return *map;
}

Node* findNode(const void* p)
{
    if (!p)
        return nullptr;
    auto it = nodes().find(p);
    return it == nodes().end() ? nullptr : &it->second;
}

void* allocBlock(unsigned size, bool table)
{
    if (allocationFails(size))
        return nullptr;
    void* p = std::malloc(size ? size : 1);
    if (!p)
        return nullptr;
    // The address may still be named by a handle whose memory was released
    // behind the table's back; the node is then reused with its handles.
    Node& n = nodes()[p];
    n.size = size;
    n.block = true;
    n.tableBlock = table;
    n.seq = g_nextSeq++;
    n.label.reset();
    return p;
}

bool freeBlock(void* p)
{
    auto it = nodes().find(p);
    if (it == nodes().end() || !it->second.block)
        return false;
    // The table never keeps naming freed memory.
    detachAllHandles(p, it->second);
    nodes().erase(it);
    std::free(p);
    return true;
}

void reportBadPointer(const char* what, const void* p)
{
    if (g_badPointerReported)
        return;
    g_badPointerReported = true;
    std::fprintf(stderr, "zelmem: %s of unknown block %p ignored (further reports suppressed)\n", what, p);
}

namespace {

void writeReport(std::ostream& out)
{
    unsigned total = 0;
    std::vector<ZelMemBlockInfo> blocks = ZelMem::LiveBlocks();
    for (const ZelMemBlockInfo& b : blocks) {
        out << "live block: \"" << b.label << "\" " << b.size << " bytes";
        if (b.handle != kNull)
            out << " (handle " << b.handle << ")";
        out << '\n';
        total += b.size;
    }
    out << "live blocks: " << blocks.size() << ", " << total << " bytes\n";
}

// Runs from the library's finaliser, after the C++ static destructors of the
// program and of the libraries that depend on this one.
__attribute__((destructor)) void reportAtExit()
{
    const char* env = std::getenv("ZEL_MEM_REPORT");
    if (!env || std::strcmp(env, "1") != 0)
        return;
    std::ostringstream text;
    writeReport(text);
    std::fputs(text.str().c_str(), stderr);
}

} // namespace

} // namespace zelmem

using namespace zelmem;

void ZelMem::SetPtrData(const void* block, const void* label)
{
    if (!block)
        return;
    std::lock_guard lock(g_lock);
    Node* n = findNode(block);
    if (!n || !n->block)
        return;
    if (!label) {
        n->label.reset();
        return;
    }
    // Copied before the old label goes: label may be the block's own label.
    size_t len = std::strlen(static_cast<const char*>(label));
    auto copy = std::make_unique<char[]>(len + 1);
    std::memcpy(copy.get(), label, len + 1);
    n->label = std::move(copy);
}

const char* ZelMem::GetPtrData(const void* block)
{
    std::lock_guard lock(g_lock);
    Node* n = findNode(block);
    return n && n->block ? n->label.get() : nullptr;
}

unsigned ZelMem::GetPtrSize(const void* block)
{
    std::lock_guard lock(g_lock);
    Node* n = findNode(block);
    return n && n->block ? n->size : 0;
}

void ZelMem::CallDebugger()
{
    g_debuggerCalls.fetch_add(1, std::memory_order_relaxed);
    const char* env = std::getenv("ZEL_MEM_TRAP");
    if (env && std::strcmp(env, "1") == 0)
        std::raise(SIGTRAP);
}

unsigned ZelMem::DebuggerCalls() { return g_debuggerCalls.load(std::memory_order_relaxed); }

std::vector<ZelMemBlockInfo> ZelMem::LiveBlocks()
{
    std::vector<std::pair<uint64_t, ZelMemBlockInfo>> found;
    {
        std::lock_guard lock(g_lock);
        found.reserve(nodes().size());
        for (const auto& [addr, n] : nodes()) {
            if (!n.block)
                continue;
            found.push_back({n.seq, {n.label ? n.label.get() : "", n.size, n.handle}});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ZelMemBlockInfo> blocks;
    blocks.reserve(found.size());
    for (auto& f : found)
        blocks.push_back(std::move(f.second));
    return blocks;
}

void ZelMem::ReportLiveBlocks(std::ostream& out) { writeReport(out); }
