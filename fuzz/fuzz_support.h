// What every fuzz target shares. ZELFUZZ_TARGET(input) { ... } defines the
// fuzzer's entry point: it starts the library once on a small headless screen
// with allocations above 256 MiB refused (a header claiming an enormous size
// ends as out-of-memory instead of exhausting the machine), then runs the
// body on the input under a leak check that also clears the error records.
// Errors zeltool reports to its user, and failed allocations, are expected
// outcomes; anything else the body does wrong is a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "video/file.h"

namespace zelfuzz {

// The fuzzer's bytes, read front to back; zero once they run out.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t word() { return static_cast<uint16_t>(byte() | byte() << 8); }
    bool empty() const { return pos_ >= size_; }
    // The remaining bytes, all consumed.
    std::vector<uint8_t> rest()
    {
        const size_t from = pos_;
        pos_ = size_;
        return {data_ + from, data_ + size_};
    }
    // The remaining bytes, all consumed, written to a file of this name in
    // the process's temporary directory; returns its path.
    std::string file(const std::string& name);

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Writes bytes to name inside the process's temporary directory (removed
// at exit) and returns the full path.
std::string writeInput(const std::string& name, const uint8_t* data, size_t size);

// The directory writeInput writes into, ending in '/'.
const std::string& inputDir();

// Opens path as a disk file for reading and hands it to load; a null handle
// when it cannot be opened.
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

// Loads the font file at path into a slot, as the library does from an open
// file; the slot, or -1 when the library refuses it.
int loadFont(const std::string& path);

void runOne(const uint8_t* data, size_t size, void (*body)(Input&));

}  // namespace zelfuzz

#define ZELFUZZ_TARGET(input)                                               \
    static void zelfuzzBody(zelfuzz::Input&);                               \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) \
    {                                                                       \
        zelfuzz::runOne(data, size, zelfuzzBody);                           \
        return 0;                                                           \
    }                                                                       \
    static void zelfuzzBody(zelfuzz::Input& input)
