// The engine's abstract file (ZelFile) and the library's own file over a
// standard I/O stream (ZelDiskFile). The virtual slot order is shared with
// the file-system library and must never change.
#pragma once

#include <cstdarg>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <new>

#include "engine/zelufs/zelufs_api.h"
#include "video/handles.h"

class ZELUFS_API ZelFile {
public:
    int32_t position = -1;       // offset of this object's next operation
    int32_t startPosition = -1;  // where the file begins for this object

    // Objects of the interface live on the engine's temporary heap.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* block) noexcept;

    virtual ~ZelFile();                                                          // slot 0
    virtual bool open(const char* name, int mode) = 0;                           // slot 1
    virtual bool isOpen() = 0;                                                   // slot 2
    virtual bool eof() = 0;                                                      // slot 3
    virtual long length() = 0;                                                   // slot 4
    virtual unsigned read(void* buffer, unsigned itemSize, unsigned itemCount) = 0;         // 5
    virtual unsigned write(const void* buffer, unsigned itemSize, unsigned itemCount) = 0;  // 6
    virtual char* gets(char* buffer, int size) = 0;                              // slot 7
    virtual int getc() = 0;                                                      // slot 8
    virtual int getw() = 0;                                                      // slot 9
    virtual int vprintf(const char* format, va_list arguments) = 0;              // slot 10
    virtual int putc(int c) = 0;                                                 // slot 11
    virtual int putw(int w) = 0;                                                 // slot 12
    virtual int puts(const char* text) = 0;                                      // slot 13
    virtual int ungetc(int c) = 0;                                               // slot 14
    virtual int restorePosition();                                               // slot 15
    virtual long savePosition();                                                 // slot 16
    virtual int flush();                                                         // slot 17
    virtual signed char close();                                                 // slot 18

    // A seek or rewind only moves position; the stream follows at the next
    // data operation.
    void rewind()
    {
        if (isOpen())
            position = startPosition;
    }

    // whence 0: from startPosition; 1: from position; 2: back from the end of
    // a whole file (startPosition 0 only). Returns -1 when not open, else 0.
    int seek(int offset, int whence);
};

class ZELUFS_API ZelDiskFile : public ZelFile {
public:
    FILE* stream = nullptr;

    ZelDiskFile() = default;
    // Does not close the stream: users call close() first.
    ~ZelDiskFile() override;

    // A new ZelDiskFile on the temporary heap, labelled and registered in the
    // handle table; null handle when memory runs out.
    static HClass<ZelFile> create();

    bool open(const char* name, int mode) override;
    bool isOpen() override;
    bool eof() override;
    long length() override;
    unsigned read(void* buffer, unsigned itemSize, unsigned itemCount) override;
    unsigned write(const void* buffer, unsigned itemSize, unsigned itemCount) override;
    char* gets(char* buffer, int size) override;
    int getc() override;
    int getw() override;
    int vprintf(const char* format, va_list arguments) override;
    int putc(int c) override;
    int putw(int w) override;
    int puts(const char* text) override;
    int ungetc(int c) override;
    int restorePosition() override;
    long savePosition() override;
    int flush() override;
    signed char close() override;

private:
    // C requires a positioning call between reading and writing on an update
    // stream; restorePosition() seeks only when the offset differs, so the
    // direction of the latest data operation is kept to seek on a switch.
    enum class Direction : signed char { Unknown, Read, Write };
    Direction direction = Direction::Unknown;
    // The stream's offset just after this object's latest pushback (none
    // yet: NoPushBack, an offset ftell never reports): while the stream
    // still reports it, that character has not been read back.
    static constexpr long NoPushBack = LONG_MIN;
    long pushedBackAt = NoPushBack;

    void prepare(Direction next);
};
