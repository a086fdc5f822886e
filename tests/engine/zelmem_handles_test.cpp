// The handle table: numbering, entry words, odd calls, reverse look-up and
// the block-moving stress mode.
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/zelmem/zelmem.h"
#include "video/handles.h"

namespace {

using H = ZelMemHandles;
constexpr unsigned short Null = H::NullHandle;
constexpr uint32_t TableWord = ZelMemEntryPresent | ZelMemEntryMovable | ZelMemEntryTable;

uint32_t word(unsigned short h) { return H::Handles.entry[h - 1]; }
uintptr_t addr(unsigned short h) { return reinterpret_cast<uintptr_t>(H::GetPtr(h)); }
unsigned short alloc(unsigned n) { unsigned short h; H::MallocPtr(h, n); return h; }
void release(unsigned short& h) { H::FreePtr(h); H::RemoveHandle(h); }

// Switches the stress mode for one scope, restoring what the environment set.
struct MoveMode {
    bool saved = ZelMem::MoveOnAlloc();
    explicit MoveMode(bool on) { ZelMem::SetMoveOnAlloc(on); }
    ~MoveMode() { ZelMem::SetMoveOnAlloc(saved); }
};

TEST(ZelMemHandles, LowestFreeIsReusedAndCountShrinksBack)
{
    const unsigned short before = H::Handles.count;
    unsigned short a = alloc(8), b = alloc(8), c = alloc(8);
    ASSERT_NE(c, Null);
    EXPECT_GE(H::Handles.count, c);
    const unsigned short a0 = a, b0 = b;
    release(b);
    release(a);
    EXPECT_EQ(a, Null);
    EXPECT_EQ(H::GetPtr(a0), nullptr);
    EXPECT_EQ(word(b0), 0u);
    unsigned short x = alloc(4), y = alloc(4);
    EXPECT_EQ(std::pair(x, y), std::pair(a0, b0));
    for (unsigned short* h : {&x, &y, &c})
        release(*h);
    EXPECT_EQ(H::Handles.count, before);
}

TEST(ZelMemHandles, FullTableRefusesThenReusesFreedEntry)
{
    MoveMode still(false);
    unsigned short before = H::Handles.count;
    size_t blocks = ZelMem::LiveBlocks().size();
    static char objects[H::MaxHandles];
    std::vector<unsigned short> taken;
    for (unsigned short h; taken.size() < H::MaxHandles && (h = H::AddPtr(&objects[taken.size()])) != Null;)
        taken.push_back(h);
    EXPECT_EQ(H::Handles.count, H::MaxHandles);
    EXPECT_EQ(H::AddPtr(&objects[0]), Null);
    EXPECT_EQ(alloc(16), Null);
    EXPECT_EQ(ZelMem::LiveBlocks().size(), blocks);  // no orphaned block

    unsigned short mid = taken[taken.size() / 2], copy = mid;
    H::RemoveHandle(copy);
    unsigned short m = alloc(16);
    EXPECT_EQ(m, mid);
    release(m);
    for (unsigned short h : taken)
        if (h != mid)
            H::RemoveHandle(h);
    EXPECT_EQ(H::Handles.count, before);
}

TEST(ZelMemHandles, EntryWordsAndOddCalls)
{
    unsigned short t = alloc(32), other = alloc(8);
    EXPECT_EQ(word(t), TableWord);
    ZelMem::ClrMovable(HAny<void>(t));
    ZelMem::SetSwapable(HAny<void>(t));
    EXPECT_EQ(word(t), ZelMemEntryPresent | ZelMemEntrySwapable | ZelMemEntryTable);
    static int object;
    unsigned short a = H::AddPtr(&object);
    EXPECT_EQ(word(a), uint32_t(ZelMemEntryPresent));

    // FreePtr frees a table block but only detaches an AddPtr'd object.
    H::FreePtr(t);
    H::FreePtr(a);
    EXPECT_EQ(word(t), 0u);
    EXPECT_EQ(H::GetPtr(a), nullptr);
    EXPECT_EQ(H::ReallocPtr(Null, 8), nullptr);
    unsigned short stale = t;
    H::RemoveHandle(t);
    H::RemoveHandle(a);

    // Free, out-of-range and null values leave the other entries alone.
    unsigned short zero = 0, big = 65000;
    H::RemoveHandle(stale);
    H::RemoveHandle(zero);
    H::RemoveHandle(big);
    EXPECT_EQ(zero, Null);
    H::FreePtr(stale);
    H::SetPtr(stale, &object);
    EXPECT_EQ(H::GetPtr(stale), nullptr);
    EXPECT_EQ(H::ReallocPtr(stale, 8), nullptr);
    EXPECT_EQ(H::GetPtr(0), nullptr);
    EXPECT_EQ(H::GetPtr(Null), nullptr);
    EXPECT_EQ(word(other), TableWord);
    release(other);
}

TEST(ZelMemHandles, ReallocKeepsContentsHandleAndLabel)
{
    unsigned short h = alloc(16);
    std::memcpy(H::GetPtr(h), "0123456789abcdef", 16);
    ZelMem::SetPtrData(H::GetPtr(h), "grown");
    void* p = H::ReallocPtr(h, 100000);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(H::GetPtr(h), p);
    EXPECT_EQ(std::memcmp(p, "0123456789abcdef", 16), 0);
    EXPECT_EQ(ZelMem::GetPtrSize(p), 100000u);
    EXPECT_STREQ(ZelMem::GetPtrData(p), "grown");
    EXPECT_EQ(H::FindHandle(p), h);

    static int object;
    unsigned short a = H::AddPtr(&object);
    EXPECT_EQ(H::ReallocPtr(a, 64), nullptr);  // not the table's to resize
    EXPECT_EQ(H::GetPtr(a), &object);
    H::RemoveHandle(a);
    release(h);
}

TEST(ZelMemHandles, FindHandleFollowsEveryChange)
{
    static int object;
    EXPECT_EQ(H::FindHandle(&object), Null);
    // Two handles on one object: removing the one found reveals the other.
    unsigned short a = H::AddPtr(&object), b = H::AddPtr(&object);
    unsigned short first = H::FindHandle(&object);
    ASSERT_TRUE(first == a || first == b);
    unsigned short second = first == a ? b : a;
    H::RemoveHandle(first);
    EXPECT_EQ(H::FindHandle(&object), second);
    H::RemoveHandle(second);
    EXPECT_EQ(H::FindHandle(&object), Null);

    void* tmp = ZelMEMTmp::Malloc(12);
    unsigned short h = H::AddPtr(tmp);
    H::SetPtr(h, &object);
    EXPECT_EQ(H::FindHandle(tmp), Null);
    EXPECT_EQ(H::FindHandle(&object), h);
    H::SetPtr(h, tmp);
    tmp = ZelMEMTmp::Realloc(tmp, 50000);  // the handle follows the block
    EXPECT_EQ(H::GetPtr(h), tmp);
    EXPECT_EQ(H::FindHandle(tmp), h);
    // Freeing the block detaches the handle rather than leave it dangling.
    ZelMEMTmp::Free(tmp);
    EXPECT_EQ(H::GetPtr(h), nullptr);
    H::RemoveHandle(h);
}

TEST(ZelMemHandles, StressModeMovesOnlyMovableTableBlocks)
{
    MoveMode moving(true);
    unsigned short movable = alloc(24), pinned = alloc(24), spare = alloc(8);
    ZelMem::ClrMovable(HAny<void>(pinned));
    std::memcpy(H::GetPtr(movable), "movable block contents!", 24);
    ZelMem::SetPtrData(H::GetPtr(movable), "mover");
    void* tmp = ZelMEMTmp::Malloc(24);
    unsigned short added = H::AddPtr(tmp);
    uintptr_t pinnedAt = addr(pinned);

    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE(kind);
        uintptr_t was = addr(movable);
        void* extra = nullptr;
        unsigned short eh = Null;
        switch (kind) {
        case 0: extra = ZelMEMTmp::Malloc(8); break;
        case 1: extra = ZelMEMTmp::Realloc(nullptr, 8); break;
        case 2: eh = alloc(8); break;
        case 3: H::ReallocPtr(spare, 48); break;
        }
        void* now = H::GetPtr(movable);
        EXPECT_NE(reinterpret_cast<uintptr_t>(now), was);
        EXPECT_EQ(std::memcmp(now, "movable block contents!", 24), 0);
        EXPECT_STREQ(ZelMem::GetPtrData(now), "mover");
        EXPECT_EQ(H::FindHandle(now), movable);
        EXPECT_EQ(addr(pinned), pinnedAt);
        EXPECT_EQ(H::GetPtr(added), tmp);
        ZelMEMTmp::Free(extra);
        release(eh);
    }
    {
        MoveMode still(false);
        uintptr_t was = addr(movable);
        ZelMEMTmp::Free(ZelMEMTmp::Malloc(8));
        EXPECT_EQ(addr(movable), was);
    }
    H::RemoveHandle(added);
    ZelMEMTmp::Free(tmp);
    release(movable);
    release(pinned);
    release(spare);
}

} // namespace
