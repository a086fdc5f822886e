// The region a blit clips against and the job of a blit onto the Screen;
// the clipping itself is clipRect (blit_frame.h), the one place for every blit.

#include "bitmap/blit_frame.h"

#include "draw/target.h"
#include "video/screen.h"
#include "video/wrapint.h"

ZelClipRgn regionOf(const Bitmap& target)
{
    if (target.attachment.isPresent())
        if (const auto r = target.drawingRgn())
            return *r;
    return ZelClipRgn{0, 0, target.width, target.height, 0, 0, {}};
}

bool screenJob(const unsigned char* src, ptrdiff_t srcStride, int32_t px, int32_t py, int32_t w,
               int32_t h, BlitJob& job)
{
    return screenJob(DrawTarget::screen(), src, srcStride, px, py, w, h, job);
}

bool screenJob(const DrawTarget& t, const unsigned char* src, ptrdiff_t srcStride, int32_t px, int32_t py,
               int32_t w, int32_t h, BlitJob& job)
{
    ClippedRect cut;
    if (!t || !videoMemory || !ZelVideo::lineOff || !clipRect(*t.rgn, px, py, w, h, cut))
        return false;
    job.dst = videoMemory + ZelVideo::lineOff[cut.top] + cut.left;
    job.dstStride = scrWidth;
    job.src = src + cut.srcRow * srcStride + cut.srcColumn;
    job.srcStride = srcStride;
    job.width = cut.width();
    job.rows = cut.rows();
    return true;
}
