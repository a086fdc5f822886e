// Names that lead to FIFOs are refused rather than opened and waited on, and
// handles convert implicitly only where they name the same record.

#include <sys/stat.h>

#include <filesystem>
#include <type_traits>

#include <gtest/gtest.h>

#include "driver_fixture.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

// Implicitly only to the same record or to the untyped form; a number or an
// unrelated handle becomes one only by name.
static_assert(!std::is_convertible_v<HClass<int>, HClass<ZelFile>>);
static_assert(!std::is_convertible_v<int, HClass<ZelBitmap>>);
static_assert(!std::is_convertible_v<HAny<void>, HSimple<unsigned char>>);
static_assert(std::is_convertible_v<HClass<ZelBitmap>, HClass<Bitmap>>);
static_assert(std::is_convertible_v<HClass<Bitmap>, HClass<ZelBitmap>>);
static_assert(std::is_convertible_v<HSimple<unsigned char>, HAny<void>>);
static_assert(std::is_constructible_v<HClass<ZelFile>, HAny<void>>);

using Hardening = zeltest::DriverTest;

// Opening a FIFO to read waits for a writer that never comes: every reader
// refuses it before it opens it.
TEST_F(Hardening, FifosAreRefusedBeforeTheyAreOpened)
{
    const std::string fifo = root + "/fifo.pal";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ZelDiskFile file;
    EXPECT_FALSE(file.open(fifo.c_str(), 1));
    EXPECT_FALSE(file.open(fifo.c_str(), 4));
    const std::filesystem::path cwd = std::filesystem::current_path();
    std::filesystem::current_path(root);
    EXPECT_EQ(ZelVideo::loadPalette("fifo.pal", 1), 0);
    EXPECT_EQ(ZelVideo::loadPalette("FIFO.PAL", 1), 0);
    std::filesystem::current_path(cwd);
}

}  // namespace
