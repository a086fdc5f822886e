#include "tools/zeltool/font_preview.h"

#include <algorithm>
#include <cstring>

#include "bitmap/bitmap.h"
#include "font/font.h"
#include "video/screen.h"
#include "video/video.h"
#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

constexpr int Margin = 2;
constexpr int TabAdvance = 9;  // the widest advance of a character without a glyph

// A Screen bitmap of the given size set up as the driver set-up makes one:
// pinned, with its full clip region, the screen variables and the row table.
// Undone on destruction.
class PreviewScreen {
public:
    PreviewScreen(int width, int height, std::uint8_t fill)
    {
        ZelBitmap::Screen = ZelBitmap::Create(width, height, ZelBitmap::Screen);
        ZelVideo::lineOff = static_cast<int*>(ZelMEMTmp::Malloc(static_cast<unsigned>(height + 1) * sizeof(int)));
        if (ZelBitmap::Screen.isNull() || !ZelVideo::lineOff)
            return;
        ZelMem::ClrMovable(ZelBitmap::Screen);
        ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{0, 0, width, height, 0, 0, {}});
        scrWidth = width;
        scrHeight = height;
        videoMemory = ZelBitmap::Screen->pixels();
        for (int y = 0; y <= height; ++y)
            ZelVideo::lineOff[y] = y * width;
        clrScreen(fill);
        ready_ = true;
    }
    ~PreviewScreen()
    {
        if (Bitmap* b = ZelBitmap::Screen.get())
            b->releaseAttachment();
        ZelBitmap::Screen.release();
        scrWidth = scrHeight = 0;
        videoMemory = nullptr;
        ZelMEMTmp::Free(ZelVideo::lineOff);
        ZelVideo::lineOff = nullptr;
    }
    PreviewScreen(const PreviewScreen&) = delete;
    PreviewScreen& operator=(const PreviewScreen&) = delete;

    bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

// The font in a slot of the font table for as long as this lives.
class LoadedFont {
public:
    explicit LoadedFont(const std::string& path)
    {
        HClass<ZelFile> file = ZelDiskFile::create();
        if (file.isNull())
            return;
        if (file->open(path.c_str(), 1)) {
            slot_ = ZelFont::load(file);
            file->close();
        }
        file.destroy();
        if (slot_ >= 0)
            ZelFont::setFont(slot_);
    }
    ~LoadedFont() { ZelFont::unloadAll(); }
    LoadedFont(const LoadedFont&) = delete;
    LoadedFont& operator=(const LoadedFont&) = delete;

    bool loaded() const { return slot_ >= 0; }

private:
    int slot_ = -1;
};

// Refuses texts whose picture would be too large, before the library
// measures them in 32-bit arithmetic: every character is counted at its
// widest possible advance and every line at the tallest glyph.
void checkSize(const zelassets::AssetFont& font, const std::string& text, const std::string& path)
{
    std::int64_t tallest = 0, line = 0, widest = 0, lines = 1;
    for (const zelassets::AssetBitmap& g : font.glyphs)
        tallest = std::max<std::int64_t>(tallest, g.height);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            line = 0;
            ++lines;
            continue;
        }
        const int g = font.charMap[c];
        line += std::max(TabAdvance, g ? font.glyphs[static_cast<std::size_t>(g - 1)].width : 0);
        widest = std::max(widest, line);
    }
    if (widest + 2 * Margin > MaxPreviewSide || lines * (tallest + 1) + 2 * Margin > MaxPreviewSide)
        throw FileError{path, "the preview of this text would be larger than " + std::to_string(MaxPreviewSide) +
                                  " pixels on a side; give a shorter --text"};
}

}  // namespace

Image renderPreview(const std::string& fontPath, const zelassets::AssetFont& font, const std::string& text,
                    std::uint8_t ink, std::uint8_t background)
{
    checkSize(font, text, fontPath);
    LoadedFont loaded(fontPath);
    if (!loaded.loaded())
        throw FileError{fontPath, "the library cannot load this font"};

    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    Image image;
    image.indexed = true;
    image.width = ZelFont::getWidth(text.c_str()) + 2 * Margin;
    image.height = lines * (ZelFont::getHeight(text.c_str()) + 1) - 1 + 2 * Margin;
    PreviewScreen screen(image.width, image.height, background);
    if (!screen.ready())
        throw FileError{fontPath, "out of memory for the preview screen"};
    ZelFont::put(Margin, Margin, text.c_str(), ink);
    const unsigned char* pixels = ZelBitmap::Screen->pixels();
    image.pixels.assign(pixels, pixels + image.pixelCount());
    return image;
}

std::string allCharacters(const zelassets::AssetFont& font)
{
    std::string text;
    int inLine = 0;
    for (int c = 1; c < 256; ++c) {
        if (c == '\n' || font.charMap[static_cast<std::size_t>(c)] == 0)
            continue;
        if (inLine == 16) {
            text += '\n';
            inLine = 0;
        }
        text += static_cast<char>(c);
        ++inLine;
    }
    return text;
}

}  // namespace zeltool
