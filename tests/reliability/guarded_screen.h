// A Screen bitmap surrounded by guard bytes: a stray write just before or
// after the pixels shows even where it would stay inside one allocation.
#pragma once

#include <string>
#include <vector>

#include "test_support.h"

namespace zeltest {

class GuardedScreen {
public:
    // The Screen of a ScreenSetup of w x h, moved into a buffer that holds
    // guard bytes, the 20-byte header and the pixels; moved back on
    // destruction so that the set-up frees it as usual.
    GuardedScreen(int w, int h);
    ~GuardedScreen();
    GuardedScreen(const GuardedScreen&) = delete;
    GuardedScreen& operator=(const GuardedScreen&) = delete;

    const ScreenSetup& setup() const { return setup_; }
    unsigned char* pixels() const { return setup_.bitmap().pixels(); }
    size_t size() const { return static_cast<size_t>(width_) * height_; }

    // Empty while the guards, the header and every pixel outside the clip
    // region are as they were (before: the pixels then); otherwise the
    // first changed byte.
    std::string damage(const std::vector<unsigned char>& before) const;

    static constexpr size_t GuardBytes = 4096;

private:
    static unsigned char guardByte(size_t i) { return static_cast<unsigned char>(i * 151 + 7); }

    ScreenSetup setup_;
    int width_;
    int height_;
    std::vector<unsigned char> storage_;
    Bitmap* original_;
    std::string header_;
};

}  // namespace zeltest
