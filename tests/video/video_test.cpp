// The video state as the library loads, the handle templates' rules, a disk
// file behind a handle, and the inline row fill and copy.

#include <fcntl.h>

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "test_support.h"
#include "video/screen.h"
#include "video/file.h"
#include "video/short_rows.h"
#include "video/video.h"

namespace {

TEST(VideoState, StartsWithLoadTimeValues)
{
    EXPECT_EQ(scrWidth | scrHeight | currentXPos | hazeLevel | nightLevel | ZelVideo::graphOn, 0);
    EXPECT_EQ(ZelVideo::Settings.mode | ZelVideo::Settings.fullScreen, 0);
    EXPECT_EQ(defaultColor, 31);
    EXPECT_EQ(zoomFactor, 8);
    EXPECT_TRUE(!videoMemory && !ZelVideo::lineOff && !ZelVideo::maxVideoMemory && ZelBitmap::Screen.isNull());
    EXPECT_TRUE(!refresh && !setVideoMode && !setPalette && !ZelVideoWinEvent);
}

struct Counted {
    static inline int destroyed = 0;
    virtual ~Counted() { ++destroyed; }
    static void* operator new(std::size_t n) { return ZelMEMTmp::Malloc(static_cast<unsigned>(n)); }
    static void operator delete(void* p) { ZelMEMTmp::Free(p); }
};

TEST(Handles, AllocReleaseResizeAndDestroy)
{
    const size_t live = zeltest::liveBlockCount();
    const unsigned calls = ZelMem::DebuggerCalls();
    HSimple<char> h;
    EXPECT_EQ(h.value, 65535);
    EXPECT_FALSE(h.resolves() || h.isValid() || HClass<int>(0).isValid());
    ASSERT_EQ(h.alloc(8), -1);
    EXPECT_TRUE(h.isPresent() && HClass<int>(ZelMemHandles::Handles.count).isValid());
    EXPECT_FALSE(HClass<int>(static_cast<unsigned short>(ZelMemHandles::Handles.count + 1)).isValid());
    EXPECT_EQ(h.alloc(32), -1);  // into a live handle: the debugger, and the old block goes
    EXPECT_EQ(ZelMem::DebuggerCalls(), calls + 1);
    EXPECT_EQ(zeltest::liveBlockCount(), live + 1);
    std::memcpy(h.get(), "abc", 4);
    const unsigned short value = h.value;
    h.resize(4096);
    EXPECT_EQ(h.value, value);
    EXPECT_STREQ(h.get(), "abc");
    void* p = h.get();
    ZelMemHandles::SetPtr(h.value, nullptr);
    EXPECT_TRUE(h.isValid() && !h.isPresent() && !h.resolves());
    ZelMemHandles::SetPtr(h.value, p);
    h.resize(0);
    EXPECT_TRUE(h.isNull());
    EXPECT_EQ(h.release(), 0);
    EXPECT_EQ(h.alloc(0), 0);
    HSimple<char> zero(0);
    EXPECT_EQ(zero.alloc(0), 0);
    EXPECT_EQ(zero.value, 0);  // n = 0 on an invalid handle leaves it alone

    HClass<Counted> object;
    object.adopt(new Counted);
    Counted::destroyed = 0;
    object.destroy();
    object.destroy();
    EXPECT_EQ(Counted::destroyed, 1);
    EXPECT_TRUE(object.isNull());
    EXPECT_EQ(zeltest::liveBlockCount(), live);
}

struct CountingFile : ZelDiskFile {
    static inline int destroyed = 0;
    ~CountingFile() override { ++destroyed; }
};

// Destroying a file behind a handle runs the right destructor through the
// base class and leaves an open stream open.
TEST(Handles, DiskFileLifetime)
{
    const size_t before = zeltest::liveBlockCount();
    zeltest::TempDir dir;
    zeltest::writeFile(dir.path + "/f", std::string("hello"));
    HClass<ZelFile> handle = ZelDiskFile::create();
    EXPECT_EQ(zeltest::liveBlockCount(), before + 1);
    ASSERT_TRUE(handle->open((dir.path + "/f").c_str(), 1));
    FILE* stream = static_cast<ZelDiskFile*>(handle.get())->stream;
    handle.destroy();
    EXPECT_EQ(zeltest::liveBlockCount(), before);
    EXPECT_NE(fcntl(fileno(stream), F_GETFD), -1);
    std::fclose(stream);
    CountingFile::destroyed = 0;
    handle.adopt(static_cast<ZelFile*>(new CountingFile));
    handle.destroy();
    EXPECT_EQ(CountingFile::destroyed, 1);
}

TEST(ShortRows, SameBytesAsMemsetAndMemcpy)
{
    std::vector<unsigned char> source(320), ours(320), theirs(320);
    for (size_t k = 0; k < source.size(); ++k)
        source[k] = static_cast<unsigned char>(k * 13 + 5);
    for (size_t offset = 0; offset < 20; ++offset) {
        for (size_t n = 0; n <= 290; ++n) {
            std::fill(ours.begin(), ours.end(), static_cast<unsigned char>(n));
            theirs = ours;
            fillRow(ours.data() + offset, n, static_cast<unsigned char>(n + 1));
            std::memset(theirs.data() + offset, static_cast<int>(n + 1), n);
            ASSERT_EQ(ours, theirs) << "fill at " << offset << ", length " << n;
            copyRow(ours.data() + offset, source.data() + 19 - offset, n);
            std::memcpy(theirs.data() + offset, source.data() + 19 - offset, n);
            ASSERT_EQ(ours, theirs) << "copy at " << offset << ", length " << n;
        }
    }
}

}  // namespace
