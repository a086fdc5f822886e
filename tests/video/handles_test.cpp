// The rules of the handle templates over the memory library's table.

#include <cstring>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "test_support.h"
#include "video/handles.h"

namespace {

struct Counted {
    static int destroyed;
    virtual ~Counted() { ++destroyed; }
    static void* operator new(std::size_t n) { return ZelMEMTmp::Malloc(static_cast<unsigned>(n)); }
    static void operator delete(void* p) { ZelMEMTmp::Free(p); }
};
int Counted::destroyed = 0;

TEST(Handles, NullAndRangeRules)
{
    HClass<int> null;
    EXPECT_EQ(null.value, 65535);
    EXPECT_EQ(null.get(), nullptr);
    EXPECT_FALSE(null.resolves());
    EXPECT_FALSE(null.isValid());
    EXPECT_FALSE(HClass<int>(0).isValid());

    HSimple<char> h;
    ASSERT_EQ(h.alloc(16), -1);
    const unsigned short count = ZelMemHandles::Handles.count;
    EXPECT_TRUE(HClass<int>(count).isValid());
    EXPECT_FALSE(HClass<int>(static_cast<unsigned short>(count + 1)).isValid());
    EXPECT_TRUE(h.isPresent());
    EXPECT_EQ(h.release(), -1);
    EXPECT_TRUE(h.isNull());
    EXPECT_EQ(h.release(), 0);
}

TEST(Handles, AllocIntoALiveHandleCallsTheDebuggerAndFreesIt)
{
    size_t live = zeltest::liveBlockCount();
    HSimple<char> h;
    unsigned calls = ZelMem::DebuggerCalls();
    ASSERT_EQ(h.alloc(8), -1);
    EXPECT_EQ(ZelMem::DebuggerCalls(), calls);

    EXPECT_EQ(h.alloc(32), -1);  // the old block is freed, a new one taken
    EXPECT_EQ(ZelMem::DebuggerCalls(), calls + 1);
    EXPECT_EQ(ZelMem::GetPtrSize(h.get()), 32u);
    EXPECT_EQ(zeltest::liveBlockCount(), live + 1);

    EXPECT_EQ(h.alloc(0), 0);  // frees and leaves the handle null
    EXPECT_EQ(ZelMem::DebuggerCalls(), calls + 2);
    EXPECT_TRUE(h.isNull());
    EXPECT_EQ(zeltest::liveBlockCount(), live);
}

TEST(Handles, InvalidHandlesAreOverwrittenSilently)
{
    unsigned calls = ZelMem::DebuggerCalls();
    HSimple<char> outOfRange(static_cast<unsigned short>(ZelMemHandles::Handles.count + 5));
    ASSERT_EQ(outOfRange.alloc(4), -1);
    EXPECT_TRUE(outOfRange.resolves());
    EXPECT_EQ(ZelMem::DebuggerCalls(), calls);
    outOfRange.release();

    HSimple<char> zero(0);
    EXPECT_EQ(zero.alloc(0), 0);
    EXPECT_EQ(zero.value, 0);  // n = 0 on an invalid handle leaves it alone
}

TEST(Handles, ResizeAllocatesKeepsAndFrees)
{
    HSimple<char> h;
    h.resize(4);
    ASSERT_TRUE(h.resolves());
    std::memcpy(h.get(), "abc", 4);
    const unsigned short value = h.value;
    h.resize(4096);
    EXPECT_EQ(h.value, value);
    EXPECT_STREQ(h.get(), "abc");
    h.resize(0);
    EXPECT_TRUE(h.isNull());
}

TEST(Handles, DestroyRunsAnObjectsDestructorOnceAndNullsTheHandle)
{
    size_t live = zeltest::liveBlockCount();
    HClass<Counted> h;
    h.adopt(new Counted);
    ASSERT_TRUE(h.resolves());
    const unsigned short value = h.value;
    Counted::destroyed = 0;
    h.destroy();
    EXPECT_EQ(Counted::destroyed, 1);
    EXPECT_TRUE(h.isNull());
    EXPECT_EQ(ZelMemHandles::GetPtr(value), nullptr);
    EXPECT_EQ(zeltest::liveBlockCount(), live);
    h.destroy();
    EXPECT_EQ(Counted::destroyed, 1);

    HAny<void> block;
    block.adopt(ZelMEMTmp::Malloc(10));
    block.destroy();
    EXPECT_EQ(zeltest::liveBlockCount(), live);
    block.adopt(nullptr);
    EXPECT_TRUE(block.isNull());
}

TEST(Handles, PresenceFollowsTheEntryWord)
{
    HSimple<char> h;
    h.alloc(4);
    void* p = h.get();
    ZelMemHandles::SetPtr(h.value, nullptr);
    EXPECT_TRUE(h.isValid());
    EXPECT_FALSE(h.isPresent());
    EXPECT_FALSE(h.resolves());
    ZelMemHandles::SetPtr(h.value, p);
    EXPECT_TRUE(h.isPresent());
    h.release();
}

TEST(Handles, RecordHandlesConvertFreely)
{
    HClass<ZelBitmap> b = ZelBitmap::Create(2, 2, 65535);
    HClass<Bitmap> plain = b;
    HAny<void> any = plain;
    EXPECT_EQ(plain.value, b.value);
    EXPECT_EQ(any.getRaw(), static_cast<void*>(b.get()));
    b.release();
}

}  // namespace
