// ZelDiskFile: a ZelFile over a standard I/O stream. Every object keeps its
// own offset in position, so several objects may share one stream: each data
// operation first moves the stream to this object's offset and afterwards
// records where the stream ended up.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "engine/zelmem/zelmem.h"
#include "video/file.h"

namespace {

// fopen modes of open(): index is mode & 15, minus one; the text modes
// (17..23) take the second column. glibc does not distinguish text from
// binary and 't' is not a standard mode letter, so text modes leave it out.
constexpr const char* Modes[7][2] = {
    {"rb", "r"}, {"wb", "w"}, {"ab", "a"}, {"r+b", "r+"}, {"w+b", "w+"}, {"a+b", "a+"}, {"wb", "w"},
};

bool validMode(int mode)
{
    return (mode >= 1 && mode <= 7) || (mode >= 17 && mode <= 23);
}

// Opens path, unless the mode reads and path names something other than a
// regular file: a FIFO or a device could block the open or never end.
FILE* openFile(const char* path, const char* how)
{
    struct stat info;
    const bool reads = how[0] == 'r' || std::strchr(how, '+');
    if (reads && stat(path, &info) == 0 && !S_ISREG(info.st_mode))
        return nullptr;
    return std::fopen(path, how);
}

FILE* openSearched(const char* name, const char* how)
{
    char found[ZelSystem::FoundPathSize];
    if (!ZelSystem::SearchPath(found, name))
        return nullptr;
    return openFile(found, how);
}

}  // namespace

ZelDiskFile::~ZelDiskFile() = default;

HClass<ZelFile> ZelDiskFile::create()
{
    HClass<ZelFile> handle;
    ZelDiskFile* file = new (std::nothrow) ZelDiskFile;
    if (!file)
        return handle;
    ZelMem::SetPtrData(file, "ZelDiskFile");
    handle.adopt(static_cast<ZelFile*>(file));
    if (handle.isNull())
        delete file;  // handle table full: nothing may keep the object
    return handle;
}

// Opening an already open object closes its stream first, so no stream is
// ever lost. An unknown mode opens nothing and leaves the object as it is.
bool ZelDiskFile::open(const char* name, int mode)
{
    if (validMode(mode)) {
        if (stream)
            close();
        position = 0;
        startPosition = 0;
        direction = Direction::Unknown;
        pushedBackAt = NoPushBack;
        int index = (mode & 15) - 1;
        const char* how = Modes[index][mode >= 17 ? 1 : 0];
        if (name) {
            if (index == 6) {
                stream = openSearched(name, how);  // only where the search path finds it
            } else {
                stream = openFile(name, how);
                if (!stream)
                    stream = openSearched(name, how);
            }
        }
        // Append modes start at the end. ftell right after fopen may report 0
        // for "a", so go to the end explicitly.
        bool append = index == 2 || index == 5;
        if (stream && append && std::fseek(stream, 0, SEEK_END) == 0)
            position = static_cast<int32_t>(std::ftell(stream));
    }
    startPosition = position;
    return stream != nullptr;
}

bool ZelDiskFile::isOpen()
{
    return stream != nullptr;
}

bool ZelDiskFile::eof()
{
    restorePosition();
    return !stream || std::feof(stream);
}

// Size of the file on disk; data still buffered in the stream is not counted.
long ZelDiskFile::length()
{
    if (!stream)
        return -1;
    struct stat info;
    if (fstat(fileno(stream), &info) != 0)
        return -1;
    return static_cast<long>(info.st_size);
}

void ZelDiskFile::prepare(Direction next)
{
    restorePosition();
    if (direction != next) {
        // A seek that keeps the offset is the positioning call C requires
        // between input and output; also right when the previous direction is
        // unknown, as for a stream handed to this object from elsewhere.
        std::fseek(stream, 0, SEEK_CUR);
        direction = next;
    }
}

unsigned ZelDiskFile::read(void* buffer, unsigned itemSize, unsigned itemCount)
{
    if (!stream)
        return 0;
    prepare(Direction::Read);
    size_t result = std::fread(buffer, itemSize, itemCount, stream);
    savePosition();
    return static_cast<unsigned>(result);
}

unsigned ZelDiskFile::write(const void* buffer, unsigned itemSize, unsigned itemCount)
{
    if (!stream)
        return 0;
    prepare(Direction::Write);
    size_t result = std::fwrite(buffer, itemSize, itemCount, stream);
    savePosition();
    return static_cast<unsigned>(result);
}

char* ZelDiskFile::gets(char* buffer, int size)
{
    if (!stream)
        return nullptr;
    prepare(Direction::Read);
    char* result = std::fgets(buffer, size, stream);
    savePosition();
    return result;
}

int ZelDiskFile::getc()
{
    if (!stream)
        return -1;
    prepare(Direction::Read);
    int result = std::fgetc(stream);
    savePosition();
    return result;
}

// A 32-bit word in native byte order; -1 also when fewer than 4 bytes remain.
int ZelDiskFile::getw()
{
    if (!stream)
        return -1;
    prepare(Direction::Read);
    int32_t word = 0;
    int result = std::fread(&word, sizeof word, 1, stream) == 1 ? word : -1;
    savePosition();
    return result;
}

int ZelDiskFile::vprintf(const char* format, va_list arguments)
{
    if (!stream)
        return 0;
    prepare(Direction::Write);
    int result = std::vfprintf(stream, format, arguments);
    savePosition();
    return result;
}

int ZelDiskFile::putc(int c)
{
    if (!stream)
        return -1;
    prepare(Direction::Write);
    int result = std::fputc(c, stream);
    savePosition();
    return result;
}

int ZelDiskFile::putw(int w)
{
    if (!stream)
        return -1;
    prepare(Direction::Write);
    int32_t word = w;
    int result = std::fwrite(&word, sizeof word, 1, stream) == 1 ? w : -1;
    savePosition();
    return result;
}

int ZelDiskFile::puts(const char* text)
{
    if (!stream)
        return -1;
    prepare(Direction::Write);
    int result = std::fputs(text, stream);
    savePosition();
    return result;
}

// Pushing back is only meaningful where this object last left the stream; if
// another user has moved the shared stream since, nothing is pushed. One
// character of pushback is what C promises: a second one before the first
// is read back fails, since the C library would keep it in a pushback area
// of its own, which glibc frees twice once the stream turns to writing.
int ZelDiskFile::ungetc(int c)
{
    const long offset = stream ? std::ftell(stream) : -1;
    if (!stream || offset != position || offset == pushedBackAt)
        return -1;
    if (direction != Direction::Read) {
        std::fseek(stream, 0, SEEK_CUR);
        direction = Direction::Read;
    }
    int result = std::ungetc(c, stream);
    savePosition();
    if (result != EOF)
        pushedBackAt = std::ftell(stream);
    return result;
}

int ZelDiskFile::restorePosition()
{
    if (stream && std::ftell(stream) != position)
        std::fseek(stream, position, SEEK_SET);
    return 0;
}

long ZelDiskFile::savePosition()
{
    if (stream)
        position = static_cast<int32_t>(std::ftell(stream));
    return position;
}

int ZelDiskFile::flush()
{
    return stream ? std::fflush(stream) : 0;
}

signed char ZelDiskFile::close()
{
    if (!stream)
        return 0;
    std::fclose(stream);
    stream = nullptr;
    direction = Direction::Unknown;
    pushedBackAt = NoPushBack;
    return ZelFile::close();
}
