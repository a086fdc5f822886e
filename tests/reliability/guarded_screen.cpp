#include "guarded_screen.h"

#include <cstring>

namespace zeltest {

GuardedScreen::GuardedScreen(int w, int h)
    : setup_(w, h), width_(w), height_(h), original_(ZelBitmap::Screen.get())
{
    const size_t record = sizeof(Bitmap) + size();
    storage_.resize(GuardBytes + record + GuardBytes);
    for (size_t i = 0; i < storage_.size(); ++i)
        storage_[i] = guardByte(i);
    Bitmap* guarded = reinterpret_cast<Bitmap*>(storage_.data() + GuardBytes);
    std::memcpy(guarded, original_, record);
    // The handle now names memory the table did not allocate: it is never
    // moved or freed through the table while it does.
    ZelMemHandles::SetPtr(ZelBitmap::Screen.value, guarded);
    videoMemory = guarded->pixels();
    header_.assign(reinterpret_cast<const char*>(guarded), sizeof(Bitmap));
}

GuardedScreen::~GuardedScreen()
{
    std::memcpy(original_, storage_.data() + GuardBytes, sizeof(Bitmap) + size());
    ZelMemHandles::SetPtr(ZelBitmap::Screen.value, original_);
    videoMemory = original_->pixels();
}

std::string GuardedScreen::damage(const std::vector<unsigned char>& before) const
{
    const size_t pixelsAt = GuardBytes + sizeof(Bitmap);
    const size_t after = pixelsAt + size();
    for (size_t i = 0; i < storage_.size(); ++i) {
        if (i == GuardBytes)
            i = after;  // the header is checked below, the pixels are free
        if (storage_[i] != guardByte(i))
            return "guard byte " + std::to_string(static_cast<long>(i) - static_cast<long>(pixelsAt)) +
                   " from the first pixel changed";
    }
    for (size_t i = 0; i < sizeof(Bitmap); ++i)
        if (storage_[GuardBytes + i] != static_cast<unsigned char>(header_[i]))
            return "header byte " + std::to_string(i) + " of the Screen bitmap changed";
    const ZelClipRgn& r = setup_.region();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (!r.contains(x, y) && pixels()[y * width_ + x] != before[y * width_ + x])
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " outside the region changed";
    return {};
}

}  // namespace zeltest
