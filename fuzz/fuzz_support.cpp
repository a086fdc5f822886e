#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <new>

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "blit/scale.h"
#include "blit/zoom.h"
#include "engine/zelmem/zelmem.h"
#include "font/font.h"
#include "tools/zeltool/errors.h"
#include "video/video.h"

namespace zelfuzz {

namespace {

// A cap a program might set: claims up to it are allocated, filled and drawn.
constexpr std::size_t LargestAllocation = 256u << 20;

[[noreturn]] void fail(const std::string& what)
{
    std::perror(("zelfuzz: " + what).c_str());
    std::exit(1);
}

// A directory under $TMPDIR (or /tmp) of the process's own, removed at exit.
struct InputDir {
    std::string path;
    InputDir()
    {
        const char* base = std::getenv("TMPDIR");
        path = std::string(base && *base ? base : "/tmp") + "/zelfuzz.XXXXXX";
        if (!mkdtemp(path.data()))
            fail("cannot make a temporary directory");
        path += '/';
    }
    ~InputDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// Starts the library once per process on the headless driver (64 x 48, no
// frames written) with the standard palette and font.
void startVideo()
{
    static bool started = false;
    if (started)
        return;
    setenv("ZEL_headless_width", "64", 1);
    setenv("ZEL_headless_height", "48", 1);
    setenv("ZEL_headless_dir", "", 1);
    if (ZelVideo::init("headless", "standard.pal", "standard.fnt") != -1)
        fail("the library did not start on the headless driver");
    ZelMem::SetLargestAllocation(LargestAllocation);
    started = true;
}

// The engine's error stack is made on the first error and kept for later
// ones, so it is not counted; its records are the reader's to clear.
size_t blocksInUse()
{
    return ZelMem::LiveBlocks().size() - (ZelError::Error ? 1 : 0);
}

}  // namespace

const std::string& inputDir()
{
    static const InputDir dir;
    return dir.path;
}

std::string writeInput(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = inputDir() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        fail("cannot write " + path);
    return path;
}

std::string Input::file(const std::string& name)
{
    const std::vector<uint8_t> bytes = rest();
    return writeInput(name, bytes.data(), bytes.size());
}

void exerciseAndFree(HClass<ZelBitmap> bitmap)
{
    const Bitmap* b = bitmap.get();
    if (!b)
        return;
    putImage(3, 5, bitmap, 0);
    putImage(-b->width / 2, 40, bitmap, 2);
    bmpZoomImage(10, 10, bitmap, 65536 * 3 / 2);
    bmpZoomImageScaleRot90(20, 20, bitmap, 15);
    bmpRotImage(32, 24, bitmap, 8192, 65536 / 2);
    if (Bitmap* drawn = bitmap.get())
        drawn->releaseAttachment();
    bitmap.release();
}

int loadFont(const std::string& path)
{
    HClass<ZelFile> file = ZelDiskFile::create();
    int slot = -1;
    if (file.resolves() && file->open(path.c_str(), 1)) {
        slot = ZelFont::load(file);
        file->close();
    }
    file.destroy();
    return slot;
}

void runOne(const uint8_t* data, size_t size, void (*body)(Input&))
{
    startVideo();
    Input input(data, size);
    const size_t before = blocksInUse();
    try {
        body(input);
    } catch (const zeltool::FileError&) {
    } catch (const zeltool::FormatError&) {
    } catch (const zeltool::UsageError&) {
    } catch (const std::bad_alloc&) {
    }
    ZelError::NError = 0;
    if (blocksInUse() == before)
        return;
    std::cerr << "zelfuzz: the input left blocks behind\n";
    ZelMem::ReportLiveBlocks(std::cerr);
    std::abort();
}

}  // namespace zelfuzz
