#include "memory_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace zeltest {

MemoryFile::MemoryFile(std::string bytes, size_t start)
    : bytes_(std::move(bytes)), start_(start), offset_(static_cast<long>(start))
{
    position = static_cast<int32_t>(start);
    startPosition = position;
}

HClass<ZelFile> MemoryFile::create(std::string bytes, size_t start)
{
    HClass<ZelFile> handle;
    MemoryFile* file = new (std::nothrow) MemoryFile(std::move(bytes), start);
    if (!file)
        return handle;
    ZelMem::SetPtrData(file, "MemoryFile");
    handle.adopt(static_cast<ZelFile*>(file));
    if (handle.isNull())
        delete file;
    return handle;
}

bool MemoryFile::open(const char*, int mode)
{
    const int kind = mode & 15;
    if ((mode >= 1 && mode <= 7) || (mode >= 17 && mode <= 23)) {
        close();
        position = 0;
        startPosition = 0;
        if (kind == 1) {
            open_ = true;
            offset_ = 0;
            position = static_cast<int32_t>(start_);
        }
    }
    startPosition = position;
    return open_;
}

bool MemoryFile::isOpen()
{
    return open_;
}

bool MemoryFile::eof()
{
    restorePosition();
    return !open_ || atEnd_;
}

long MemoryFile::length()
{
    return open_ ? static_cast<long>(bytes_.size()) : -1;
}

size_t MemoryFile::take(unsigned char* out, size_t n)
{
    size_t got = 0;
    for (; got < n && !pushed_.empty(); ++got, ++offset_) {
        out[got] = static_cast<unsigned char>(pushed_.back());
        pushed_.pop_back();
    }
    const size_t at = static_cast<size_t>(offset_);
    const size_t available = at < bytes_.size() ? bytes_.size() - at : 0;
    const size_t more = std::min(n - got, available);
    std::memcpy(out + got, bytes_.data() + at, more);
    offset_ += static_cast<long>(more);
    got += more;
    if (got < n)
        atEnd_ = true;
    return got;
}

unsigned MemoryFile::read(void* buffer, unsigned itemSize, unsigned itemCount)
{
    if (!open_)
        return 0;
    restorePosition();
    size_t got = 0;
    if (itemSize != 0 && itemCount != 0)
        got = take(static_cast<unsigned char*>(buffer), size_t{itemSize} * itemCount);
    savePosition();
    return itemSize ? static_cast<unsigned>(got / itemSize) : 0;
}

unsigned MemoryFile::write(const void*, unsigned, unsigned)
{
    attemptOutput();
    return 0;
}

char* MemoryFile::gets(char* buffer, int size)
{
    if (!open_)
        return nullptr;
    restorePosition();
    char* result = nullptr;
    if (size == 1) {
        buffer[0] = '\0';
        result = buffer;
    } else if (size > 1) {
        int count = 0;
        unsigned char c = 0;
        while (count < size - 1 && take(&c, 1) == 1) {
            buffer[count++] = static_cast<char>(c);
            if (c == '\n')
                break;
        }
        if (count > 0) {
            buffer[count] = '\0';
            result = buffer;
        }
    }
    savePosition();
    return result;
}

bool MemoryFile::readItem(void* out, size_t n)
{
    if (!open_)
        return false;
    restorePosition();
    const bool whole = take(static_cast<unsigned char*>(out), n) == n;
    savePosition();
    return whole;
}

int MemoryFile::getc()
{
    unsigned char c = 0;
    return readItem(&c, 1) ? c : -1;
}

int MemoryFile::getw()
{
    int32_t word = 0;
    return readItem(&word, sizeof word) ? word : -1;
}

// Output fails on a stream opened for reading. Turning from input to output
// still repositions the stream, as stdio requires between the two: the
// end-of-file indicator and any pushed-back bytes are gone afterwards.
void MemoryFile::attemptOutput()
{
    if (!open_)
        return;
    restorePosition();
    atEnd_ = false;
    pushed_.clear();
    savePosition();
}

int MemoryFile::vprintf(const char*, va_list)
{
    attemptOutput();
    return open_ ? -1 : 0;
}

int MemoryFile::putc(int)
{
    attemptOutput();
    return -1;
}

int MemoryFile::putw(int)
{
    attemptOutput();
    return -1;
}

int MemoryFile::puts(const char*)
{
    attemptOutput();
    return -1;
}

int MemoryFile::ungetc(int c)
{
    if (!open_ || offset_ != position || offset_ == 0 || c == -1)
        return -1;
    pushed_.push_back(static_cast<char>(c));
    --offset_;
    atEnd_ = false;
    savePosition();
    return static_cast<unsigned char>(c);
}

// A seek to a negative offset fails and leaves the stream where it was, but
// stdio has dropped the pushed-back bytes by then; any other seek forgets
// them and the end-of-file indicator.
int MemoryFile::restorePosition()
{
    if (!open_ || offset_ == position)
        return 0;
    if (position < 0) {
        offset_ += static_cast<long>(pushed_.size());
    } else {
        offset_ = position;
        atEnd_ = false;
    }
    pushed_.clear();
    return 0;
}

long MemoryFile::savePosition()
{
    if (open_)
        position = static_cast<int32_t>(offset_);
    return position;
}

// Nothing is ever buffered for output.
int MemoryFile::flush()
{
    return 0;
}

signed char MemoryFile::close()
{
    if (!open_)
        return 0;
    open_ = false;
    atEnd_ = false;
    pushed_.clear();
    return ZelFile::close();
}

}  // namespace zeltest
