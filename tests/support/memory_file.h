// A read-only ZelFile over bytes held in memory: a file that ends wherever the
// test cuts it, or that sits inside a larger container. It behaves as a
// ZelDiskFile does on a file opened for reading.
#pragma once

#include <cstddef>
#include <string>

#include "video/file.h"

namespace zeltest {

class MemoryFile : public ZelFile {
public:
    // The file begins at byte start of bytes (startPosition) and is open
    // there; length() reports the size of all the bytes, as the length of a
    // disk file ignores startPosition.
    explicit MemoryFile(std::string bytes, size_t start = 0);

    // A new object on the temporary heap behind a handle, as the file system
    // hands out its files; the caller destroys it.
    static HClass<ZelFile> create(std::string bytes, size_t start = 0);

    // Read modes reopen at the start; the write modes fail on read-only
    // memory and leave the object closed; other values change nothing.
    bool open(const char* name, int mode) override;
    bool isOpen() override;
    bool eof() override;
    long length() override;
    unsigned read(void* buffer, unsigned itemSize, unsigned itemCount) override;
    char* gets(char* buffer, int size) override;
    int getc() override;
    int getw() override;
    // Output fails, as on a stream opened for reading.
    unsigned write(const void* buffer, unsigned itemSize, unsigned itemCount) override;
    int vprintf(const char* format, va_list arguments) override;
    int putc(int c) override;
    int putw(int w) override;
    int puts(const char* text) override;
    // Refused at the very start of the bytes, where a stream could not report
    // its offset afterwards.
    int ungetc(int c) override;
    int restorePosition() override;
    long savePosition() override;
    int flush() override;
    signed char close() override;

private:
    // Copies up to n bytes from the stream offset on, pushed-back bytes
    // first; sets the end-of-file indicator when fewer were there.
    size_t take(unsigned char* out, size_t n);
    // One item of n bytes, as getc and getw read it: false when it was cut short.
    bool readItem(void* out, size_t n);
    void attemptOutput();

    std::string bytes_;
    size_t start_;
    bool open_ = true;
    // The stream as stdio keeps it: its own offset, which position is
    // brought back to before every operation, the end-of-file indicator and
    // the bytes pushed back by ungetc (the last one is read first).
    long offset_;
    bool atEnd_ = false;
    std::string pushed_;
};

}  // namespace zeltest
