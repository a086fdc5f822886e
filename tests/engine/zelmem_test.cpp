// The memory layer: the handle table held to a model over a seeded run of
// random calls, a full table, the temporary heap's odd calls, the live-block
// report, the debugger hook, and the integer trigonometry against the real
// functions.
#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "engine/zelmath/zelmath.h"
#include "engine/zelmem/zelmem.h"
#include "video/handles.h"

namespace {

using H = ZelMemHandles;
constexpr unsigned short Null = H::NullHandle;
constexpr uint32_t TableWord = ZelMemEntryPresent | ZelMemEntryMovable | ZelMemEntryTable;

uint32_t word(unsigned short h) { return H::Handles.entry[h - 1]; }
void release(unsigned short& h) { H::FreePtr(h); H::RemoveHandle(h); }

// What the model knows of a handle the run holds.
struct Held {
    void* object = nullptr;    // an added object; a table block's last address
    unsigned short block = 0;  // an added handle on a table block: that block's handle
    unsigned size = 0;         // a table block's size, every byte fill
    unsigned char fill = 0;
    uint32_t word = 0;
    std::string label;
};

// Handles are numbered lowest free first and the count falls back over
// trailing free entries; entry words follow pins, swap marks and detaching;
// a table block keeps its contents, size and label through resizes and the
// stress mode's moves, and stays put while pinned or named by an added
// handle; freeing it detaches every handle on it; an added object is never
// resized; FindHandle names a handle of the address, another once that one
// is gone; every block goes with its handle.
TEST(ZelMemHandles, RandomCallsFollowTheModel)
{
    const bool savedMode = ZelMem::MoveOnAlloc();
    const size_t blocksBefore = ZelMem::LiveBlocks().size();
    std::mt19937 rng(2024);
    const auto below = [&](size_t n) { return static_cast<unsigned>(rng() % n); };
    static char objects[8];
    std::map<unsigned short, Held> held;
    // Entries up to the count are in use before the run, but for holes the run fills itself.
    const unsigned short first = H::Handles.count;
    unsigned short h;
    while ((h = H::AddPtr(&objects[0])) <= first)
        held[h] = {&objects[0], 0, 0, 0, ZelMemEntryPresent, ""};
    H::RemoveHandle(h);
    std::set<unsigned short> others;
    for (h = 1; h <= first; ++h)
        if (!held.count(h))
            others.insert(h);
    const auto shared = [&](unsigned short t) {
        return std::any_of(held.begin(), held.end(), [t](const auto& e) { return e.second.block == t; });
    };
    for (int step = 0; step < 5000; ++step) {
        SCOPED_TRACE(step);
        const unsigned op = held.empty() ? 0 : below(10);
        unsigned short want = 1;
        while (others.count(want) || held.count(want))
            ++want;
        const unsigned size = below(4) ? below(200) : 70000 + below(9);
        if (op <= 1) {
            Held n{&objects[below(8)], 0, size, static_cast<unsigned char>(rng()), ZelMemEntryPresent, ""};
            const auto t = std::next(held.begin(), below(held.size() + 1));
            if (op == 0) {
                n.word = TableWord;
                H::MallocPtr(h, size);
                std::memset(n.object = H::GetPtr(h), n.fill, size);
                if (below(2))
                    ZelMem::SetPtrData(n.object, (n.label = "zt-" + std::to_string(step)).c_str());
            } else {
                if (t != held.end() && t->second.word & ZelMemEntryTable)  // a second handle on a table block
                    n.object = t->second.object, n.block = t->first;
                h = H::AddPtr(n.object);
            }
            ASSERT_EQ(h, want);
            held[h] = n;
        } else {
            auto it = std::next(held.begin(), below(held.size()));
            h = it->first;
            Held& k = it->second;
            Held& owner = k.block ? held[k.block] : k;
            if (op == 2) {
                void* p = H::ReallocPtr(h, size);
                if (k.word == 0 || owner.word & ZelMemEntryTable) {  // a detached entry gets a fresh block
                    ASSERT_EQ(p, H::GetPtr(h));
                    ASSERT_EQ(ZelMem::GetPtrSize(p), size);
                    const unsigned kept = owner.word ? std::min(size, owner.size) : 0;
                    std::memset(static_cast<char*>(p) + kept, owner.fill, size - kept);
                    owner.size = size, owner.object = p;
                    k.word = k.word ? k.word : TableWord;
                } else {
                    ASSERT_EQ(p, nullptr);  // not the table's to resize
                }
            } else if (op == 3) {
                ZelMem::SetSwapable(HAny<void>(h));
                if (k.word)
                    k.word |= ZelMemEntrySwapable;
            } else if (op == 4 && k.word & ZelMemEntryTable) {
                ZelMem::ClrMovable(HAny<void>(h));
                k.word &= ~uint32_t(ZelMemEntryMovable);
            } else if (op == 4) {
                k.object = below(3) ? &objects[below(8)] : nullptr;
                H::SetPtr(h, k.object);
                k.word = k.object ? ZelMemEntryPresent | (k.word & ZelMemEntrySwapable) : 0;
                k.block = 0;
            } else if (op == 6) {
                ZelMem::SetMoveOnAlloc(below(2));
            } else if (op == 9) {
                // A free, out-of-range or null handle: every call is ignored.
                unsigned short odd = std::array<unsigned short, 4>{want, 0, 65000, Null}[below(4)];
                H::FreePtr(odd), H::SetPtr(odd, &objects[2]), ZelMem::ClrMovable(HAny<void>(odd));
                ZelMem::SetSwapable(HAny<void>(odd));
                ASSERT_TRUE(H::ReallocPtr(odd, 8) == nullptr && H::GetPtr(odd) == nullptr) << odd;
                H::RemoveHandle(odd);
            } else {
                // A table block goes with every handle on it; an added object is only let go.
                for (auto& [e, m] : held)
                    if (k.word & ZelMemEntryTable && m.block == h)
                        m = Held{};
                if (op == 5) {
                    H::FreePtr(h);
                    k = Held{};
                } else {
                    release(h);
                    held.erase(it);
                }
            }
        }
        // Every held entry as the model has it.
        unsigned short top = first;
        for (auto& [e, m] : held) {
            top = std::max(top, e);
            void* p = H::GetPtr(e);
            ASSERT_EQ(word(e), m.word) << e;
            if (m.word & ZelMemEntryTable) {
                const bool stays = !(m.word & ZelMemEntryMovable) || shared(e);
                ASSERT_TRUE(p && (!stays || p == m.object)) << "a pinned or shared block moved: " << e;
                m.object = p;
                ASSERT_EQ(ZelMem::GetPtrSize(p), m.size) << e;
                ASSERT_TRUE(m.size == 0 || (static_cast<unsigned char*>(p)[0] == m.fill &&
                                            static_cast<unsigned char*>(p)[m.size - 1] == m.fill)) << e;
                ASSERT_STREQ(ZelMem::GetPtrData(p), m.label.empty() ? nullptr : m.label.c_str()) << e;
            } else {
                ASSERT_EQ(p, m.block ? H::GetPtr(m.block) : m.object) << e;
            }
            const unsigned short found = H::FindHandle(p);
            ASSERT_TRUE(!p || (held.count(found) && H::GetPtr(found) == p)) << e;
        }
        ASSERT_EQ(H::Handles.count, top);
    }
    for (auto& [e, m] : held) {
        unsigned short gone = e;
        release(gone);
    }
    ZelMem::SetMoveOnAlloc(savedMode);
    EXPECT_EQ(H::Handles.count, first);
    EXPECT_EQ(ZelMem::LiveBlocks().size(), blocksBefore);
}

// A full table refuses without leaving a block behind and hands out the
// entry freed next.
TEST(ZelMemHandles, AFullTable)
{
    static char objects[H::MaxHandles];
    const unsigned short before = H::Handles.count;
    const size_t blocks = ZelMem::LiveBlocks().size();
    std::vector<unsigned short> taken;
    for (unsigned short h; taken.size() < H::MaxHandles && (h = H::AddPtr(&objects[taken.size()])) != Null;)
        taken.push_back(h);
    EXPECT_EQ(H::Handles.count, H::MaxHandles);
    unsigned short refused;
    H::MallocPtr(refused, 16);
    EXPECT_EQ(std::make_pair(refused, H::AddPtr(&objects[0])), std::make_pair(Null, Null));
    EXPECT_EQ(ZelMem::LiveBlocks().size(), blocks);
    unsigned short mid = taken[taken.size() / 2], copyMid = mid, m;
    H::RemoveHandle(copyMid);
    H::MallocPtr(m, 16);
    EXPECT_EQ(m, mid);
    release(m);
    for (unsigned short h : taken)
        if (h != mid)
            H::RemoveHandle(h);
    EXPECT_EQ(H::Handles.count, before);
}

// Empty blocks are distinct; a resize keeps the contents and the age, and a
// null block acts as Malloc; labels are copies; calls on what is not a block
// are ignored. The report lists blocks oldest first with their handles.
TEST(ZelMemTmp, OddCallsLabelsAndTheReport)
{
    const size_t before = ZelMem::LiveBlocks().size();
    void* a = ZelMEMTmp::Malloc(0);
    void* b = ZelMEMTmp::Malloc(0);
    ASSERT_TRUE(a && b && a != b);
    char text[] = "zt-first";
    void* c = ZelMEMTmp::Realloc(nullptr, 10);
    ZelMem::SetPtrData(c, text);
    std::strcpy(text, "xxxxx");
    std::memcpy(c, "abcdefghij", 10);
    unsigned short h;
    H::MallocPtr(h, 12);
    ZelMem::SetPtrData(H::GetPtr(h), "zt-second");
    ZelMem::SetPtrData(H::GetPtr(h), ZelMem::GetPtrData(H::GetPtr(h)) + 1);  // from its own label
    c = ZelMEMTmp::Realloc(c, 70000);
    EXPECT_EQ(std::memcmp(c, "abcdefghij", 10), 0);
    c = ZelMEMTmp::Realloc(c, 0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(ZelMem::GetPtrSize(c), 0u);
    int local = 0;
    ZelMEMTmp::Free(nullptr);
    ZelMEMTmp::Free(&local);
    EXPECT_EQ(ZelMEMTmp::Realloc(&local, 64), nullptr);
    ZelMem::SetPtrData(&local, "not a block");
    EXPECT_EQ(std::make_pair(ZelMem::GetPtrSize(&local), ZelMem::GetPtrData(&local)), std::make_pair(0u, static_cast<const char*>(nullptr)));
    ZelMEMTmp::Free(a);
    ZelMEMTmp::Free(a);  // unknown by now: ignored

    const std::vector<ZelMemBlockInfo> blocks = ZelMem::LiveBlocks();
    ASSERT_EQ(blocks.size(), before + 3);
    EXPECT_EQ(blocks[before + 1].label + "/" + blocks[before + 2].label, "zt-first/t-second");
    EXPECT_EQ(std::make_pair(blocks[before + 1].handle, blocks[before + 2].handle), std::make_pair(Null, h));
    unsigned short added = H::AddPtr(c);
    std::ostringstream report;
    ZelMem::ReportLiveBlocks(report);
    EXPECT_NE(report.str().find("live block: \"zt-first\" 0 bytes (handle " + std::to_string(added) + ")\n"),
              std::string::npos);
    unsigned total = 0;
    for (const ZelMemBlockInfo& block : blocks)
        total += block.size;
    EXPECT_NE(report.str().find("live blocks: " + std::to_string(blocks.size()) + ", " + std::to_string(total) + " bytes\n"),
              std::string::npos);
    H::RemoveHandle(added);
    ZelMEMTmp::FreeVolatile(b);
    EXPECT_EQ(b, nullptr);
    ZelMEMTmp::Free(c);
    release(h);
    EXPECT_EQ(ZelMem::LiveBlocks().size(), before);
}

TEST(ZelMemDeathTest, ExitReportAndTrapWhenAsked)
{
    EXPECT_EXIT(
        {
            setenv("ZEL_MEM_REPORT", "1", 1);
            ZelMem::SetPtrData(ZelMEMTmp::Malloc(5), "zt-leak");
            std::exit(0);
        },
        testing::ExitedWithCode(0), "live block: \"zt-leak\" 5 bytes\n");
    EXPECT_EXIT(
        {
            setenv("ZEL_MEM_TRAP", "1", 1);
            ZelMem::CallDebugger();
            std::exit(0);
        },
        testing::KilledBySignal(SIGTRAP), "");
}

// Within half a unit of the real sine and cosine, odd and even, a quarter
// turn apart (exact quarter turns and angles beyond a turn are in engine.scene).
TEST(Trig, MatchesTheRealFunctionsAndTheirSymmetries)
{
    const double turn = 2 * std::acos(-1.0);
    for (int a = 0; a < ZelAngleFullTurn; a += 7) {
        const double r = a * turn / ZelAngleFullTurn;
        ASSERT_LE(std::abs(iSin(a) - std::sin(r) * (1 << 20)), 0.5 + 1e-6) << a;
        ASSERT_LE(std::abs(iCos(a) - std::cos(r) * (1 << 20)), 0.5 + 1e-6) << a;
        ASSERT_TRUE(iSin(-a) == -iSin(a) && iCos(-a) == iCos(a) && iSin(a) == iCos(a - ZelAngleQuarterTurn)) << a;
    }
}

}  // namespace
