// The shaded blits: a constant shade over a screen rectangle, a mask bitmap
// whose bytes shade the screen beneath (1:1 and scaled), and bitmaps drawn in
// shaded colours at a power-of-two scale. Each is an existing frame (1:1,
// zoom, scale) with a shading pixel or row operation.

#include "bitmap/blit_frame.h"
#include "blit/scale_frame.h"
#include "blit/zoom_frame.h"
#include "draw/target.h"
#include "platform/cpu_features.h"
#include "shade/shade.h"
#include "shade/mask_shade.h"
#include "shade/shade_map.h"
#include "video/screen.h"
#include "video/wrapint.h"

namespace {

// Colour c at one shade value, for every c, copied out of the tables once
// per call: 256 bytes side by side instead of a column whose entries lie 64
// bytes apart.
struct ShadeMap {
    unsigned char of[256];

    explicit ShadeMap(signed char shade)
    {
        const unsigned char* column = ShadeTables::current().column(shade);
        for (int c = 0; c < 256; ++c)
            of[c] = column[c * ZelShadeLevels];
    }
};

// The bar is its own source: every screen pixel is shaded in place.
struct ShadeRows {
    ShadeMap map;

    explicit ShadeRows(signed char shade) : map(shade) {}
    void operator()(unsigned char* d, const unsigned char* s, int32_t n) const
    {
        if (cpuPathInUse >= CpuPath::Avx512) {
            mapRowAvx512(d, s, n, map.of);
            return;
        }
        for (int32_t i = 0; i < n; ++i)
            d[i] = map.of[s[i]];
    }
};

// The table column of every mask byte, made once per call: mask byte m
// shades through the column of shade value shadeOf(m), so that a pixel costs
// one lookup of its column and one of its colour in it. Byte 0 leaves the
// screen pixel alone.
struct MaskColumns {
    const unsigned char* of[256];

    template <class ShadeOf> explicit MaskColumns(ShadeOf shadeOf)
    {
        const ShadeTables tables = ShadeTables::current();
        for (int m = 0; m < 256; ++m)
            of[m] = tables.column(shadeOf(static_cast<unsigned char>(m)));
    }
    void shade(unsigned char* d, unsigned char m) const
    {
        if (m)
            *d = of[m][*d * ZelShadeLevels];
    }
};

// Mask bytes are signed shade values.
struct ShadeByMaskRows {
    MaskColumns columns{[](unsigned char m) { return static_cast<signed char>(m); }};
    void operator()(unsigned char* d, const unsigned char* m, int32_t n) const
    {
        for (int32_t i = 0; i < n; ++i)
            columns.shade(d + i, m[i]);
    }
};

// The same on the AVX-512 path, which gathers the entries from the tables
// and needs no columns made beforehand.
struct GatherShadeByMaskRows {
    ShadeTables tables = ShadeTables::current();
    void operator()(unsigned char* d, const unsigned char* m, int32_t n) const
    {
        shadeByMaskAvx512(d, m, n, tables.dark, tables.light);
    }
};

// The zoomed mask: the byte, unsigned, shifted right by k (0 to 31) and read
// as a signed shade value. The zero test comes before the shift, so a small
// byte shifted to 0 still applies light level 0.
struct ShadeByMaskPixel {
    MaskColumns columns;
    explicit ShadeByMaskPixel(unsigned k)
        : columns([k](unsigned char m) { return static_cast<signed char>(static_cast<unsigned>(m) >> k); })
    {
    }
    void operator()(unsigned char* d, unsigned char m) const { columns.shade(d, m); }
};

// A source colour drawn through the shade tables; colour 0 is transparent and
// the screen pixel is never read. The scale frame hands 1:1 rows whole to row().
struct ShadedCopy {
    ShadeMap map;

    explicit ShadedCopy(signed char shade) : map(shade) {}
    void operator()(unsigned char* d, unsigned char c) const
    {
        if (c)
            *d = map.of[c];
    }
    void row(unsigned char* d, const unsigned char* s, int32_t n) const
    {
        if (cpuPathInUse >= CpuPath::Avx512) {
            mapOpaqueRowAvx512(d, s, n, map.of);
            return;
        }
        for (int32_t i = 0; i < n; ++i)
            (*this)(d + i, s[i]);
    }
};

// Without tables (video not started) nothing is shaded.
bool tablesLoaded()
{
    return ZelVideo::shadeDark && ZelVideo::shadeLight;
}

void shadeScaled(ScaleTurn turn, int x, int y, HClass<Bitmap> bitmap, unsigned char scale, signed char shade)
{
    const Bitmap* b = bitmap.get();
    if (b && tablesLoaded())
        scaleBlit(scaleForm(turn), x, y, *b, scale, RowOffsets::Multiply, ShadedCopy(shade));
}

}  // namespace

void ZelVideo::putShadedBar(int x, int y, int width, int height, signed char shade)
{
    DrawTarget t = DrawTarget::screen();
    ClippedRect cut;
    if (!t || !videoMemory || !lineOff || !tablesLoaded() || !clipRect(*t.rgn, x, y, width, height, cut))
        return;
    unsigned char* first = videoMemory + lineOff[cut.top] + cut.left;
    runBlit(BlitJob{first, scrWidth, first, scrWidth, cut.width(), cut.rows()}, ShadeRows(shade));
}

void ZelVideo::putShadedImage(int x, int y, HClass<Bitmap> mask)
{
    const Bitmap* m = mask.get();
    if (!m || !tablesLoaded())
        return;
    BlitJob job;
    if (!screenJob(m->pixels(), m->width, wrapSub(x, m->originX), wrapSub(y, m->originY), m->width, m->height, job))
        return;
    if (cpuPathInUse >= CpuPath::Avx512)
        runBlit(job, GatherShadeByMaskRows{});
    else
        runBlit(job, ShadeByMaskRows{});
}

// Both scaled mask blits place a mask with a negative origin point as
// bmpZoomImage places a bitmap (signed division of the origin offsets).
void ZelVideo::bmpZoomShadedImage(int x, int y, HClass<Bitmap> mask, unsigned int zoom)
{
    bmpZoomShadedImage(x, y, mask, zoom, 1);
}

void ZelVideo::bmpZoomShadedImage(int x, int y, HClass<Bitmap> mask, unsigned int zoom, unsigned int n)
{
    const Bitmap* m = mask.get();
    if (m && tablesLoaded())
        zoomBlit<ZoomMirror::None>(x, y, *m, zoom, ShadeByMaskPixel((n - 1) & 31u));
}

void ZelVideo::bmpZoomImageShadeScale(int x, int y, HClass<Bitmap> bitmap, unsigned char scale, signed char shade)
{
    shadeScaled(ScaleTurn::None, x, y, bitmap, scale, shade);
}

void ZelVideo::bmpZoomImageShadeScaleRot90(int x, int y, HClass<Bitmap> bitmap, unsigned char scale,
                                           signed char shade)
{
    shadeScaled(ScaleTurn::Rot90, x, y, bitmap, scale, shade);
}

void ZelVideo::bmpZoomImageShadeScaleRot180(int x, int y, HClass<Bitmap> bitmap, unsigned char scale,
                                            signed char shade)
{
    shadeScaled(ScaleTurn::Rot180, x, y, bitmap, scale, shade);
}

void ZelVideo::bmpZoomImageShadeScaleRot270(int x, int y, HClass<Bitmap> bitmap, unsigned char scale,
                                            signed char shade)
{
    shadeScaled(ScaleTurn::Rot270, x, y, bitmap, scale, shade);
}
