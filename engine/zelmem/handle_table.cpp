// The handle table: 65534 entries of a pointer and an attribute word, handed
// out lowest free number first, plus the stress mode that moves blocks.
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "engine/zelmem/internal.h"
#include "engine/zelmem/handles.h"

namespace zelmem {

// Constant-initialised, so the table works before any dynamic initialiser ran.
uint32_t g_entry[kMaxHandles];
void* g_ptr[kMaxHandles];

namespace {

constexpr uint32_t kTableBits = ZelMemEntryPresent | ZelMemEntryMovable | ZelMemEntryTable;

// Handles below the high-water mark that were given back, one bit each, with a
// summary bit per 64-bit word so the lowest free one is found in a few steps.
constexpr unsigned kFreeWords = (kMaxHandles + 63) / 64;
constexpr unsigned kSummaryWords = (kFreeWords + 63) / 64;
uint64_t g_free[kFreeWords];
uint64_t g_freeSummary[kSummaryWords];

unsigned short& count() { return ZelMemHandles::Handles.count; }

bool isFree(unsigned h)
{
    unsigned i = h - 1;
    return (g_free[i >> 6] >> (i & 63)) & 1;
}

void markFree(unsigned h)
{
    unsigned i = h - 1;
    g_free[i >> 6] |= uint64_t(1) << (i & 63);
    g_freeSummary[i >> 12] |= uint64_t(1) << ((i >> 6) & 63);
}

void markUsed(unsigned h)
{
    unsigned i = h - 1;
    g_free[i >> 6] &= ~(uint64_t(1) << (i & 63));
    if (g_free[i >> 6] == 0)
        g_freeSummary[i >> 12] &= ~(uint64_t(1) << ((i >> 6) & 63));
}

// True when h names an entry that is handed out (its block may be detached).
bool inUse(unsigned h) { return h >= 1 && h <= count() && !isFree(h); }

unsigned short newHandle()
{
    for (unsigned s = 0; s < kSummaryWords; ++s) {
        if (g_freeSummary[s]) {
            unsigned w = s * 64 + unsigned(std::countr_zero(g_freeSummary[s]));
            unsigned h = w * 64 + unsigned(std::countr_zero(g_free[w])) + 1;
            markUsed(h);
            return static_cast<unsigned short>(h);
        }
    }
    if (count() >= kMaxHandles)
        return kNull;
    return ++count();
}

// Gives back an entry whose block was already detached. Trailing free entries
// lower the high-water mark again, so count stays tight.
void releaseHandle(unsigned h)
{
    if (h != count()) {
        markFree(h);
        return;
    }
    --count();
    while (count() > 0 && isFree(count())) {
        markUsed(count());
        --count();
    }
}

// Calls f(h) for every handle naming p. Only an address named by several
// handles needs a scan of the table.
template <class F> void forEachHandle(const void* p, const Node& n, F f)
{
    if (n.handle == kNull)
        return;
    if (n.moreHandles == 0) {
        f(n.handle);
        return;
    }
    for (unsigned h = 1, c = count(); h <= c; ++h)
        if (g_ptr[h - 1] == p)
            f(h);
}

void attach(unsigned h, void* p, uint32_t bits)
{
    g_ptr[h - 1] = p;
    g_entry[h - 1] = p ? (bits | ZelMemEntryPresent) : 0;
    if (!p)
        return;
    Node& n = nodes()[p];
    if (n.handle == kNull)
        n.handle = static_cast<unsigned short>(h);
    else
        ++n.moreHandles;
}

// Clears entry h and drops it from its address's node.
void detach(unsigned h)
{
    void* p = g_ptr[h - 1];
    g_ptr[h - 1] = nullptr;
    g_entry[h - 1] = 0;
    if (!p)
        return;
    auto it = nodes().find(p);
    if (it == nodes().end())
        return;
    Node& n = it->second;
    if (n.handle == h) {
        n.handle = kNull;
        if (n.moreHandles > 0) {
            for (unsigned o = 1, c = count(); o <= c; ++o) {
                if (g_ptr[o - 1] == p) {
                    n.handle = static_cast<unsigned short>(o);
                    break;
                }
            }
            --n.moreHandles;
        }
    } else if (n.moreHandles > 0) {
        --n.moreHandles;
    }
    if (!n.block && n.handle == kNull)
        nodes().erase(it);
}

bool allHandlesMovable(const void* p)
{
    for (unsigned h = 1, c = count(); h <= c; ++h)
        if (g_ptr[h - 1] == p && !(g_entry[h - 1] & ZelMemEntryMovable))
            return false;
    return true;
}

// -1 until read from the environment.
std::atomic<int> g_moveMode{-1};

bool moveMode()
{
    int m = g_moveMode.load(std::memory_order_relaxed);
    if (m < 0) {
        const char* env = std::getenv("ZEL_MEM_MOVE");
        m = env && std::strcmp(env, "1") == 0;
        g_moveMode.store(m, std::memory_order_relaxed);
    }
    return m != 0;
}

__attribute__((constructor)) void readMoveModeAtLoad() { moveMode(); }

} // namespace

void detachAllHandles(const void* p, Node& n)
{
    forEachHandle(p, n, [](unsigned h) {
        g_ptr[h - 1] = nullptr;
        g_entry[h - 1] = 0;
    });
    n.handle = kNull;
    n.moreHandles = 0;
}

namespace {

// Files a node extracted from the map under its block's new address.
void insertNode(void* to, NodeMap::node_type node)
{
    NodeMap& map = nodes();
    auto it = map.find(to);
    if (it == map.end()) {
        node.key() = to;
        map.insert(std::move(node));
        return;
    }
    // A stale address some handle still names (its memory was released behind
    // the table's back): the block takes the node over, keeping both handle sets.
    Node& src = node.mapped();
    Node& dst = it->second;
    if (src.handle != kNull) {
        if (dst.handle == kNull) {
            dst.handle = src.handle;
            dst.moreHandles = src.moreHandles;
        } else {
            dst.moreHandles = static_cast<unsigned short>(dst.moreHandles + 1 + src.moreHandles);
        }
    }
    dst.size = src.size;
    dst.block = src.block;
    dst.tableBlock = src.tableBlock;
    dst.seq = src.seq;
    dst.label = std::move(src.label);
}

} // namespace

void rehome(const void* from, void* to)
{
    if (from == to)
        return;
    auto node = nodes().extract(from);
    if (node.empty())
        return;
    forEachHandle(from, node.mapped(), [to](unsigned h) { g_ptr[h - 1] = to; });
    insertNode(to, std::move(node));
}

void* reallocBlock(void* p, unsigned size)
{
    if (allocationFails(size))
        return nullptr;
    auto it = nodes().find(p);
    if (it == nodes().end() || !it->second.block)
        return nullptr;
    // The handles naming p are collected first: p may not be looked at once
    // realloc has taken it.
    unsigned short single = it->second.moreHandles == 0 ? it->second.handle : kNull;
    std::vector<unsigned> named;
    if (it->second.moreHandles > 0)
        forEachHandle(p, it->second, [&named](unsigned h) { named.push_back(h); });
    auto node = nodes().extract(it);
    void* q = std::realloc(p, size ? size : 1);
    if (!q) {
        nodes().insert(std::move(node));
        return nullptr;
    }
    if (single != kNull)
        g_ptr[single - 1] = q;
    for (unsigned h : named)
        g_ptr[h - 1] = q;
    node.mapped().size = size;
    insertNode(q, std::move(node));
    return q;
}

void moveBeforeAlloc()
{
    if (!moveMode())
        return;
    std::vector<void*> moving;
    std::unordered_set<const void*> shared;
    for (unsigned h = 1, c = count(); h <= c; ++h) {
        if ((g_entry[h - 1] & (kTableBits | ZelMemEntryAbsent)) != kTableBits)
            continue;
        void* p = g_ptr[h - 1];
        Node* n = findNode(p);
        if (!n || !n->block)
            continue;
        // A block also named by a pinned or AddPtr'd handle stays put.
        if (n->moreHandles == 0)
            moving.push_back(p);
        else if (shared.insert(p).second && allHandlesMovable(p))
            moving.push_back(p);
    }
    for (void* p : moving) {
        Node* n = findNode(p);
        if (!n)
            continue;
        size_t bytes = n->size ? n->size : 1;
        void* q = std::malloc(bytes);
        if (!q)
            continue;
        std::memcpy(q, p, n->size);
        rehome(p, q);
        std::memset(p, 0xDD, bytes);
        std::free(p);
    }
}

} // namespace zelmem

using namespace zelmem;

constinit ZelHandleTable ZelMemHandles::Handles = {0, g_entry};

void ZelMemHandles::MallocPtr(unsigned short& handle, unsigned size)
{
    std::lock_guard lock(g_lock);
    moveBeforeAlloc();
    unsigned short h = newHandle();
    if (h == kNull) {
        handle = kNull;
        return;
    }
    void* p = allocBlock(size, true);
    if (!p) {
        releaseHandle(h);
        handle = kNull;
        return;
    }
    attach(h, p, kTableBits);
    handle = h;
}

void* ZelMemHandles::ReallocPtr(unsigned short handle, unsigned size)
{
    std::lock_guard lock(g_lock);
    if (!inUse(handle))
        return nullptr;
    moveBeforeAlloc();
    void* p = g_ptr[handle - 1];
    if (!p) {
        // A detached entry gets a fresh table block, like realloc(nullptr, n).
        void* q = allocBlock(size, true);
        if (q)
            attach(handle, q, kTableBits);
        return q;
    }
    Node* n = findNode(p);
    if (!n || !n->block)
        return nullptr;  // not memory of this library: cannot be resized
    return reallocBlock(p, size);
}

void ZelMemHandles::FreePtr(unsigned short handle)
{
    std::lock_guard lock(g_lock);
    if (!inUse(handle) || !g_ptr[handle - 1])
        return;
    void* p = g_ptr[handle - 1];
    Node* n = findNode(p);
    // Only table blocks belong to the table; anything else was registered by
    // its owner, who frees it, so the entry is just detached.
    if ((g_entry[handle - 1] & ZelMemEntryTable) && n && n->block)
        freeBlock(p);
    else
        detach(handle);
}

void ZelMemHandles::RemoveHandle(unsigned short& handle)
{
    std::lock_guard lock(g_lock);
    if (inUse(handle)) {
        detach(handle);
        releaseHandle(handle);
    }
    handle = kNull;
}

void* ZelMemHandles::GetPtr(unsigned short handle)
{
    // Handle 0 wraps to a huge index; 65535 is above any count.
    unsigned i = unsigned(handle) - 1u;
    return i < Handles.count ? g_ptr[i] : nullptr;
}

void ZelMemHandles::SetPtr(unsigned short handle, const void* ptr)
{
    std::lock_guard lock(g_lock);
    if (!inUse(handle))
        return;
    void* p = const_cast<void*>(ptr);
    if (p && p == g_ptr[handle - 1])
        return;
    uint32_t old = g_entry[handle - 1];
    detach(handle);
    if (!p)
        return;
    // Only a table block may move; a pin survives replacing one table block
    // by another.
    uint32_t bits = old & ZelMemEntrySwapable;
    Node* n = findNode(p);
    if (n && n->tableBlock)
        bits |= ZelMemEntryTable | ((old & ZelMemEntryTable) ? (old & ZelMemEntryMovable) : ZelMemEntryMovable);
    attach(handle, p, bits);
}

unsigned short ZelMemHandles::AddPtr(const void* ptr)
{
    if (!ptr)
        return kNull;
    std::lock_guard lock(g_lock);
    unsigned short h = newHandle();
    if (h != kNull)
        attach(h, const_cast<void*>(ptr), ZelMemEntryPresent);
    return h;
}

unsigned short ZelMemHandles::FindHandle(const void* ptr)
{
    if (!ptr)
        return kNull;
    std::lock_guard lock(g_lock);
    Node* n = findNode(ptr);
    return n ? n->handle : kNull;
}

void ZelMem::ClrMovable(HAny<void> handle)
{
    std::lock_guard lock(g_lock);
    if (inUse(handle.value) && g_entry[handle.value - 1])
        g_entry[handle.value - 1] &= ~uint32_t(ZelMemEntryMovable);
}

void ZelMem::SetSwapable(HAny<void> handle)
{
    std::lock_guard lock(g_lock);
    if (inUse(handle.value) && g_entry[handle.value - 1])
        g_entry[handle.value - 1] |= ZelMemEntrySwapable;
}

bool ZelMem::MoveOnAlloc() { return moveMode(); }

void ZelMem::SetMoveOnAlloc(bool on) { g_moveMode.store(on ? 1 : 0, std::memory_order_relaxed); }
