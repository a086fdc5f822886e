// The library calls a scene can make, by the names the library gives them.
// Member functions and calls with output parameters are wrapped so that a
// scene can name them and read what they give back.

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "blit/scale.h"
#include "blit/textured_fill.h"
#include "blit/zoom.h"
#include "draw/draw.h"
#include "draw/smart_line.h"
#include "font/font.h"
#include "scene_args.h"
#include "shade/shade.h"
#include "test_support.h"
#include "video/screen.h"
#include "video/video.h"

namespace zeltest {

namespace {

ZelSmartLine smartLine{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};

// A cut line as "count, offset of the rest" ("null" when the text ended).
template <const char* (*Cut)(const char*, int&, int)> std::string cutLine(const char* text, int maxWidth)
{
    int count = -1;
    const char* rest = Cut(text, count, maxWidth);
    return std::to_string(count) + " " + (rest ? std::to_string(rest - text) : "null");
}

// A bitmap's header: size, origin, attachment kind and handle.
std::string header(HClass<ZelBitmap> b)
{
    std::ostringstream s;
    s << b->width << "x" << b->height << " at " << b->originX << "," << b->originY << " kind " << b->attachKind()
      << " attachment " << b->attachment.value;
    return s.str();
}

// A bitmap's row spans, "lead,trail" a row.
std::string rowSpans(HClass<ZelBitmap> b)
{
    std::string s;
    for (int y = 0; y < b->height; ++y) {
        const RowSpan& r = HSimple<RowSpan>(b->attachment).get()[y];
        s.append(y ? " " : "").append(std::to_string(r.lead)).append(",").append(std::to_string(r.trail));
    }
    return s;
}

// A bitmap loaded by name: its rows of pixels and its origin point; "null" for none.
std::string loadByName(const char* name, const char* dir, int format)
{
    HClass<ZelBitmap> b = ZelBitmap::Load(name, dir, static_cast<unsigned char>(format));
    if (!b.get())
        return "null";
    std::string s = picture(*b.get());
    std::replace(s.begin(), s.end(), '\n', ' ');
    s.append("@").append(std::to_string(b->originX)).append(",").append(std::to_string(b->originY));
    b->releaseAttachment();
    b.release();
    return s;
}

// A shade file's name for a palette's; a write past the name's buffer shows.
std::string shadeName(const char* palette, const char* ext)
{
    char out[ZelShadeNameSize + 8];
    std::memset(out, 'z', sizeof out);
    shadeFileName(out, palette, ext);
    return std::string(out, strnlen(out, sizeof out)).append(out[ZelShadeNameSize] == 'z' ? "" : " and past the buffer");
}

// Shade tables loaded for a palette into tables filled with 0xd0 (dark) and
// 0x70 (light, or none): the result, then how many leading bytes of each
// table follow its file's pattern (31 i + 1 dark, 31 i + 2 light); "changed"
// when a byte past them is not the fill, "open" when a file was left open.
std::string loadShades(const char* palette, int withLight)
{
    std::vector<unsigned char> dark(ZelShadeTableBytes, 0xd0), light(ZelShadeTableBytes, 0x70);
    unsigned char* const saved[2] = {ZelVideo::shadeDark, ZelVideo::shadeLight};
    ZelVideo::shadeDark = dark.data();
    ZelVideo::shadeLight = withLight ? light.data() : nullptr;
    const int descriptors = openDescriptors();
    std::string s = std::to_string(ZelVideo::loadPaletteShades(palette));
    s.append(openDescriptors() == descriptors ? "" : " open");
    ZelVideo::shadeDark = saved[0], ZelVideo::shadeLight = saved[1];
    for (const auto& [table, b, fill] : {std::tuple{&dark, 1, 0xd0}, {&light, 2, 0x70}}) {
        size_t k = 0;
        while (k < table->size() && (*table)[k] == static_cast<unsigned char>(31 * k + b))
            ++k;
        s.append(" ").append(std::to_string(k));
        if (std::any_of(table->begin() + k, table->end(), [&](int c) { return c != fill; }))
            s.append(" changed");
    }
    return s;
}

// A clip region given as "left,top,right,bottom,originX,originY".
ZelClipRgn clipRegion(const int* r)
{
    return ZelClipRgn{r[0], r[1], r[2], r[3], r[4], r[5], {}};
}

std::string pointText(ZelVector2 p)
{
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

std::string smartLineText()
{
    std::ostringstream s;
    smartLine.printOn(s);
    return s.str();
}

const std::map<std::string, SceneInvoker>& table()
{
    using V = ZelVector2;
    using B = HClass<ZelBitmap>;
    static const std::map<std::string, SceneInvoker> calls = [] {
        std::map<std::string, SceneInvoker> c{
        {"clrScreen", sceneInvoker(clrScreen)},
        {"putPixel", sceneInvoker(putPixel)},
        {"getPixel", sceneInvoker(getPixel)},
        {"putVLine", sceneInvoker(putVLine)},
        {"putHLine", sceneInvoker(putHLine)},
        {"putLine", sceneInvoker(putLine)},
        {"putLineTo", sceneInvoker(putLineTo)},
        {"putBar", sceneInvoker(putBar)},
        {"putRectangle", sceneInvoker(putRectangle)},
        {"putBox", sceneInvoker(putBox)},
        {"putXorVLine", sceneInvoker(putXorVLine)},
        {"putXorHLine", sceneInvoker(putXorHLine)},
        {"putXorBar", sceneInvoker(putXorBar)},
        {"putXorRectangle", sceneInvoker(putXorRectangle)},
        {"vRun", sceneInvoker(vRun)},
        {"hRun", sceneInvoker(hRun)},
        {"fillRect", sceneInvoker(fillRect)},
        {"frameRect", sceneInvoker(frameRect)},
        {"scanSide", sceneInvoker(scanSide)},
        {"scanSideGouraud", sceneInvoker(scanSideGouraud)},
        {"scanPoly", sceneInvoker(scanPoly)},
        {"fillPoly", sceneInvoker(fillPoly)},
        {"fillPolyGouraud", sceneInvoker(fillPolyGouraud)},
        {"fillPolyGouraudEnh", sceneInvoker(fillPolyGouraudEnh)},
        {"clipPolyClockwise", sceneInvoker(clipPolyClockwise)},
        {"clipPolyCounterClockwise", sceneInvoker(clipPolyCounterClockwise)},
        {"putPolyClockwise", sceneInvoker(putPolyClockwise)},
        {"putPolyCounterClockwise", sceneInvoker(putPolyCounterClockwise)},
        {"ZelSmartLine::draw", sceneInvoker(+[](int x1, int y1, int x2, int y2, unsigned char c) {
             smartLine.draw(x1, y1, x2, y2, c);
         })},
        {"ZelSmartLine::erase", sceneInvoker(+[] { smartLine.erase(); })},
        {"ZelSmartLine::printOn", sceneInvoker(smartLineText)},
        {"ZelSmartLine::bufferSize", sceneInvoker(+[] { return ZelMem::GetPtrSize(smartLine.buffer.get()); })},
        {"ZelClipRgn::clampX", sceneInvoker(+[](int* r, int x) { return clipRegion(r).clampX(x); })},
        {"ZelClipRgn::clampY", sceneInvoker(+[](int* r, int y) { return clipRegion(r).clampY(y); })},
        {"ZelClipRgn::mapX", sceneInvoker(+[](int* r, int x) { return clipRegion(r).mapX(x); })},
        {"ZelClipRgn::contains", sceneInvoker(+[](int* r, int x, int y) { return clipRegion(r).contains(x, y); })},
        {"ZelClipRgn::clipLine", sceneInvoker(+[](int* r, V p, V q) {
             return clipRegion(r).clipLine(p, q) ? pointText(p) + " " + pointText(q) : std::string("hidden");
         })},
        {"ZelVector2::pointAtX", sceneInvoker(+[](V p, V q, int x) { return pointText(ZelVector2::pointAtX(p, q, x)); })},
        {"ZelVector2::pointAtY", sceneInvoker(+[](V p, V q, int y) { return pointText(ZelVector2::pointAtY(p, q, y)); })},
        {"putImage", sceneInvoker(putImage)},
        {"putLetter", sceneInvoker(putLetter)},
        {"getImage", sceneInvoker(getImage)},
        {"ZelBitmap::PutAggregate", sceneInvoker(ZelBitmap::PutAggregate)},
        {"ZelBitmap::PutAggregateScale", sceneInvoker(ZelBitmap::PutAggregateScale)},
        {"ZelBitmap::put", sceneInvoker(+[](B b, V pos, unsigned char mode, B target) {
             b->put(pos, mode, target);
         })},
        {"ZelBitmap::zoom", sceneInvoker(+[](B b, V pos, unsigned scale, B target) { b->zoom(pos, scale, target); })},
        {"ZelBitmap::createLineIndexes", sceneInvoker(+[](B b) { b->createLineIndexes(); })},
        {"header", sceneInvoker(header)},
        {"ZelBitmap::Create", sceneInvoker(ZelBitmap::Create)},
        {"ZelBitmap::Load", sceneInvoker(loadByName)},
        {"Bitmap::widthShiftOf", sceneInvoker(Bitmap::widthShiftOf)},
        {"widthShift", sceneInvoker(+[](B b) { return b->widthShift(); })},
        {"addFlags", sceneInvoker(+[](B b, int bits) { return b->flags |= static_cast<uint16_t>(bits); })},
        {"blockSize", sceneInvoker(+[](B b) { return ZelMem::GetPtrSize(b.get()); })},
        {"label", sceneInvoker(+[](B b) { const char* l = ZelMem::GetPtrData(b.get()); return std::string(l ? l : "none"); })},
        {"rowSpans", sceneInvoker(rowSpans)},
        {"clipRgn", sceneInvoker(+[](B b) {
             const ZelClipRgn& r = *b->clipRgn();
             std::ostringstream s;
             s << r.left << "," << r.top << "," << r.right << "," << r.bottom << " " << r.originX << "," << r.originY
               << (r.next.handle.isNull() ? " last" : " more");
             return s.str();
         })},
        {"ZelBitmap::setAttachKind", sceneInvoker(+[](B b, unsigned kind) { b->setAttachKind(kind); })},
        {"ZelBitmap::releaseAttachment", sceneInvoker(+[](B b) { b->releaseAttachment(); })},
        {"ZelBitmap::pushClipRgn", sceneInvoker(+[](B b, int l, int t, int r, int bottom, int ox, int oy) {
             ZelBitmap::pushClipRgn(b, ZelClipRgn{l, t, r, bottom, ox, oy, {}});
         })},
        {"ZelBitmap::popClipRgn", sceneInvoker(+[](B b) { ZelBitmap::popClipRgn(b); })},
        {"bmpZoomImage", sceneInvoker(bmpZoomImage)},
        {"bmpZoomFlipImage", sceneInvoker(bmpZoomFlipImage)},
        {"bmpZoomInvImage", sceneInvoker(bmpZoomInvImage)},
        {"bmpZoomInvFlipImage", sceneInvoker(bmpZoomInvFlipImage)},
        {"bmpZoomImageScale", sceneInvoker(bmpZoomImageScale)},
        {"bmpZoomImageScaleRot90", sceneInvoker(bmpZoomImageScaleRot90)},
        {"bmpZoomImageScaleRot180", sceneInvoker(bmpZoomImageScaleRot180)},
        {"bmpZoomImageScaleRot270", sceneInvoker(bmpZoomImageScaleRot270)},
        {"bmpZoomImageScaleMap", sceneInvoker(bmpZoomImageScaleMap)},
        {"bmpZoomImageScaleMapRot90", sceneInvoker(bmpZoomImageScaleMapRot90)},
        {"bmpZoomImageScaleMapRot180", sceneInvoker(bmpZoomImageScaleMapRot180)},
        {"bmpZoomImageScaleMapRot270", sceneInvoker(bmpZoomImageScaleMapRot270)},
        {"bmpRotImage", sceneInvoker(bmpRotImage)},
        {"bmpSideFill", sceneInvoker(bmpSideFill)},
        {"bmpFloorFill", sceneInvoker(bmpFloorFill)},
        {"shadeFileName", sceneInvoker(shadeName)},
        {"loadShades", sceneInvoker(loadShades)},
        {"putShadedBar", sceneInvoker(ZelVideo::putShadedBar)},
        {"putShadedImage", sceneInvoker(ZelVideo::putShadedImage)},
        {"bmpZoomShadedImage", sceneInvoker(static_cast<void (*)(int, int, HClass<Bitmap>, unsigned)>(
                                   ZelVideo::bmpZoomShadedImage))},
        {"bmpZoomShadedImageShift", sceneInvoker(static_cast<void (*)(int, int, HClass<Bitmap>, unsigned, unsigned)>(
                                        ZelVideo::bmpZoomShadedImage))},
        {"bmpZoomImageShadeScale", sceneInvoker(ZelVideo::bmpZoomImageShadeScale)},
        {"bmpZoomImageShadeScaleRot90", sceneInvoker(ZelVideo::bmpZoomImageShadeScaleRot90)},
        {"bmpZoomImageShadeScaleRot180", sceneInvoker(ZelVideo::bmpZoomImageShadeScaleRot180)},
        {"bmpZoomImageShadeScaleRot270", sceneInvoker(ZelVideo::bmpZoomImageShadeScaleRot270)},
        {"ZelFont::put", sceneInvoker(ZelFont::put)},
        {"ZelFont::putFormat", sceneInvoker(ZelFont::putFormat)},
        {"ZelFont::putFormatEx", sceneInvoker(ZelFont::putFormatEx)},
        {"ZelFont::getWidth", sceneInvoker(ZelFont::getWidth)},
        {"ZelFont::getHeight", sceneInvoker(ZelFont::getHeight)},
        {"ZelFont::countVisibleChars", sceneInvoker(cutLine<ZelFont::countVisibleChars>)},
        {"ZelFont::countVisibleWords", sceneInvoker(cutLine<ZelFont::countVisibleWords>)},
        {"ZelFont::setFont", sceneInvoker(ZelFont::setFont)},
        {"ZelFont::unload", sceneInvoker(ZelFont::unload)},
        {"ZelFont::getFont", sceneInvoker(ZelFont::getFont)},
        {"fontSlots", sceneInvoker(+[] { return ZelFont::nFonts; })},
        };
        addVideoCalls(c);
        addEngineCalls(c);
        addFileCalls(c);
        return c;
    }();
    return calls;
}

}  // namespace

const SceneInvoker* sceneCall(const std::string& name)
{
    const auto& calls = table();
    const auto it = calls.find(name);
    return it == calls.end() ? nullptr : &it->second;
}

void resetSceneCalls()
{
    closeSceneFiles();
    smartLine.free();
    smartLine = ZelSmartLine{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
}

}  // namespace zeltest
