// ZelFile: the part of the file interface shared by every implementation.
#include "video/file.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "engine/zelmem/zelmem.h"
#include "video/wrapint.h"

namespace {

void* allocate(std::size_t size)
{
    return size <= UINT_MAX ? ZelMEMTmp::Malloc(static_cast<unsigned>(size)) : nullptr;
}

}  // namespace

// The plain form may neither throw nor return null, so running out of memory
// ends the process. The library itself only uses the nothrow form.
void* ZelFile::operator new(std::size_t size)
{
    void* block = allocate(size);
    if (!block) {
        std::fputs("zelgfx: temporary heap exhausted allocating a file object\n", stderr);
        std::abort();
    }
    return block;
}

void* ZelFile::operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void ZelFile::operator delete(void* block) noexcept
{
    if (block)
        ZelMEMTmp::Free(block);
}

ZelFile::~ZelFile() = default;

int ZelFile::restorePosition()
{
    return 0;
}

long ZelFile::savePosition()
{
    return 0;
}

int ZelFile::flush()
{
    return 0;
}

signed char ZelFile::close()
{
    position = -1;
    startPosition = -1;
    return -1;
}

int ZelFile::seek(int offset, int whence)
{
    if (!isOpen())
        return -1;
    switch (whence) {
    case 0:
        position = wrapAdd(startPosition, offset);
        break;
    case 1:
        position = wrapAdd(position, offset);
        break;
    case 2:
        // The end is only known for an object that sees the whole file.
        if (startPosition == 0)
            position = wrapSub(static_cast<int32_t>(length()), offset);
        break;
    default:
        break;
    }
    return 0;
}
