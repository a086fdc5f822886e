// What every fuzz target shares: a started library with a small headless
// screen, inputs written to a private temporary directory, and the check
// that an input left no block behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "bitmap/bitmap.h"
#include "video/file.h"

namespace zelfuzz {

// Starts the library once per process on the headless driver (64 x 48, no
// frames written) with the standard palette and font; exits on failure.
// Allocations above 16 MiB fail, so headers that claim enormous sizes end as
// out-of-memory instead of exhausting the machine.
void startVideo();

// Writes data to name inside this process's temporary directory and returns
// the full path. The directory is removed when the process exits.
std::string writeInput(const std::string& name, const uint8_t* data, size_t size);

// The directory writeInput writes into, ending in '/'.
const std::string& inputDir();

// Opens path as a disk file for reading and hands it to load; 65535 when it
// cannot be opened.
template <class Load> HClass<ZelBitmap> loadFromDisk(const std::string& path, Load load)
{
    ZelDiskFile file;
    if (!file.open(path.c_str(), 1))
        return {};
    HClass<ZelBitmap> bitmap = load(file);
    file.close();
    return bitmap;
}

// Draws a loaded bitmap through the 1:1, zoomed and turned blits, so a
// record that loads but is inconsistent shows up as a bad access; then frees
// it with its attachment.
void exerciseAndFree(HClass<ZelBitmap> bitmap);

// Counts the live blocks on construction and aborts with the block report
// if an input changed the count by the time it is destroyed.
class LeakCheck {
public:
    LeakCheck();
    ~LeakCheck();
    LeakCheck(const LeakCheck&) = delete;
    LeakCheck& operator=(const LeakCheck&) = delete;

private:
    size_t before_;
};

// Reads consecutive values from the fuzzer's bytes; zero once they run out.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t word() { return static_cast<uint16_t>(byte() | byte() << 8); }
    // The remaining bytes, all consumed.
    std::string rest()
    {
        std::string out(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
        pos_ = size_;
        return out;
    }
    bool empty() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace zelfuzz
