#include "tools/zeltool/gif_io.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

struct Source {
    const zelassets::Bytes* data;
    std::size_t at = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int wanted)
{
    Source* s = static_cast<Source*>(gif->UserData);
    const std::size_t n = std::min(static_cast<std::size_t>(wanted), s->data->size() - s->at);
    std::memcpy(out, s->data->data() + s->at, n);
    s->at += n;
    return static_cast<int>(n);
}

// The open decoder; closed on every way out.
class GifReader {
public:
    explicit GifReader(const zelassets::Bytes& data) : source_{&data}
    {
        int error = 0;
        gif_ = DGifOpen(&source_, readFromMemory, &error);
        if (!gif_)
            fail(error);
    }
    ~GifReader()
    {
        int error = 0;
        DGifCloseFile(gif_, &error);
    }
    GifReader(const GifReader&) = delete;
    GifReader& operator=(const GifReader&) = delete;

    GifFileType* operator->() const { return gif_; }
    GifFileType* get() const { return gif_; }
    void check(int result) const
    {
        if (result == GIF_ERROR)
            fail(gif_->Error);
    }

private:
    [[noreturn]] static void fail(int error)
    {
        const char* text = GifErrorString(error);
        throw FormatError{std::string("bad GIF: ") + (text ? text : "cannot be decoded")};
    }
    Source source_;
    GifFileType* gif_ = nullptr;
};

struct Control {
    int transparent = NO_TRANSPARENT_COLOR;
    int disposal = DISPOSAL_UNSPECIFIED;
};

std::vector<Rgb> coloursOf(const ColorMapObject* map)
{
    std::vector<Rgb> colours;
    if (map && map->Colors)
        for (int i = 0; i < map->ColorCount; ++i)
            colours.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    return colours;
}

// The logical screen as frames leave it: colours with alpha 0 where no frame
// covers it, and the indices behind them while one colour table serves all.
struct Canvas {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba, index;
    std::vector<Rgb> colours;
    bool oneTable = true, drawnAny = false;
    int transparent = NO_TRANSPARENT_COLOR;

    void clear(int left, int top, int w, int h)
    {
        for (int y = std::max(top, 0); y < std::min(top + h, height); ++y)
            for (int x = std::max(left, 0); x < std::min(left + w, width); ++x)
                std::memset(&rgba[4 * (static_cast<std::size_t>(y) * width + x)], 0, 4);
    }
};

struct Frame {
    GifImageDesc desc{};
    std::vector<Rgb> colours;
    std::vector<std::uint8_t> indices;  // desc.Width x desc.Height, rows top first
};

void readFrame(GifReader& gif, Frame& f)
{
    const int w = f.desc.Width, h = f.desc.Height;
    checkPictureSize(w, h, "GIF frame");
    f.indices.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (f.desc.Interlace ? 4 : 1); ++pass)
        for (int y = f.desc.Interlace ? start[pass] : 0; y < h; y += f.desc.Interlace ? step[pass] : 1)
            gif.check(DGifGetLine(gif.get(), &f.indices[static_cast<std::size_t>(y) * w], w));
}

void draw(Canvas& c, const Frame& f, const Control& control)
{
    if (!c.drawnAny)
        c.colours = f.colours;
    else if (f.colours != c.colours)
        c.oneTable = false;
    c.drawnAny = true;
    if (control.transparent != NO_TRANSPARENT_COLOR)
        c.transparent = control.transparent;
    for (int y = 0; y < f.desc.Height; ++y)
        for (int x = 0; x < f.desc.Width; ++x) {
            const int cx = f.desc.Left + x, cy = f.desc.Top + y;
            const std::uint8_t v = f.indices[static_cast<std::size_t>(y) * f.desc.Width + x];
            if (cx >= c.width || cy >= c.height || v == control.transparent)
                continue;
            const std::size_t at = static_cast<std::size_t>(cy) * c.width + cx;
            const Rgb colour = v < f.colours.size() ? f.colours[v] : Rgb{0, 0, 0};
            std::uint8_t* p = &c.rgba[4 * at];
            p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 255;
            c.index[at] = v;
        }
}

Image result(const Canvas& c, int background)
{
    Image out;
    out.width = c.width;
    out.height = c.height;
    if (!c.oneTable) {
        out.pixels = c.rgba;
        return out;
    }
    out.indexed = true;
    out.palette = c.colours;
    out.pixels = c.index;
    const bool clear = c.transparent != NO_TRANSPARENT_COLOR;
    // Uncovered pixels show the transparent entry, or else the background.
    const auto fill = static_cast<std::uint8_t>(clear ? c.transparent : background);
    bool uncovered = false;
    for (std::size_t i = 0; i < out.pixels.size(); ++i)
        if (c.rgba[4 * i + 3] == 0) {
            out.pixels[i] = fill;
            uncovered = true;
        }
    if (uncovered && clear) {
        out.paletteAlpha.assign(std::max<std::size_t>(out.palette.size(), fill + 1u), 255);
        out.paletteAlpha[fill] = 0;
    }
    return out;
}

}  // namespace

bool isGif(const zelassets::Bytes& data)
{
    return data.size() >= 6 && (std::memcmp(data.data(), "GIF87a", 6) == 0 || std::memcmp(data.data(), "GIF89a", 6) == 0);
}

Image decodeGif(const zelassets::Bytes& data, int wanted)
{
    GifReader gif(data);
    Canvas canvas;
    canvas.width = gif->SWidth;
    canvas.height = gif->SHeight;
    checkPictureSize(canvas.width, canvas.height, "GIF");
    const std::size_t pixels = static_cast<std::size_t>(canvas.width) * static_cast<std::size_t>(canvas.height);
    canvas.rgba.assign(4 * pixels, 0);
    canvas.index.assign(pixels, 0);
    const std::vector<Rgb> global = coloursOf(gif->SColorMap);

    Control control, previous;
    Frame last;
    Canvas saved;  // the canvas before a frame to be disposed of by restoring it
    int frames = 0;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        gif.check(DGifGetRecordType(gif.get(), &type));
        if (type == TERMINATE_RECORD_TYPE)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            gif.check(DGifGetExtension(gif.get(), &code, &ext));
            GraphicsControlBlock gcb;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
                control = {gcb.TransparentColor, gcb.DisposalMode};
            while (ext)
                gif.check(DGifGetExtensionNext(gif.get(), &ext));
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        gif.check(DGifGetImageDesc(gif.get()));
        // The frame before this one leaves the screen as its disposal says.
        if (frames > 0 && previous.disposal == DISPOSE_BACKGROUND)
            canvas.clear(last.desc.Left, last.desc.Top, last.desc.Width, last.desc.Height);
        else if (frames > 0 && previous.disposal == DISPOSE_PREVIOUS)
            canvas = saved;
        last.desc = gif->Image;
        last.colours = gif->Image.ColorMap ? coloursOf(gif->Image.ColorMap) : global;
        readFrame(gif, last);
        if (control.disposal == DISPOSE_PREVIOUS)
            saved = canvas;
        draw(canvas, last, control);
        previous = control;
        control = {};
        if (frames++ == wanted)
            return result(canvas, gif->SBackGroundColor);
    }
    throw FormatError{"has " + std::to_string(frames) + (frames == 1 ? " frame" : " frames") + "; there is no frame " +
                      std::to_string(wanted) + " (frames count from 0)"};
}

}  // namespace zeltool
