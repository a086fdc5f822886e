// The rubber-band line: one walk saves the covered pixels while drawing, the
// same walk writes them back.

#include "draw/smart_line.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "draw/pixel_ops.h"
#include "draw/target.h"
#include "draw/walk.h"
#include "video/screen.h"

int ZelSmartLine::need() const
{
    const int64_t span = std::max(std::llabs(static_cast<int64_t>(from.x) - to.x),
                                  std::llabs(static_cast<int64_t>(from.y) - to.y)) + 1;
    return static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(span, scrWidth)));
}

void ZelSmartLine::draw(int x1, int y1, int x2, int y2, unsigned char colour)
{
    from = {x1, y1};
    to = {x2, y2};
    const unsigned bytes = static_cast<unsigned>(need());
    if (ZelMem::GetPtrSize(buffer.get()) < bytes) {
        if (buffer.isValid())
            ZelMemHandles::ReallocPtr(buffer.value, bytes);
        else
            ZelMemHandles::MallocPtr(buffer.value, bytes);
        ZelMem::SetPtrData(buffer.get(), "ZelSmartLine buffer");
    }
    // Without room to save what it covers the line could not be erased, so it
    // is not drawn at all.
    unsigned char* saved = buffer.get();
    const unsigned size = ZelMem::GetPtrSize(saved);
    DrawTarget t = DrawTarget::screen();
    if (!saved || size < bytes || !t) {
        drawn = 0;
        return;
    }
    SaveOp op{colour, saved, saved + size};
    walk::line(*t.bitmap, *t.rgn, from, to, op);
    drawn = -1;
}

void ZelSmartLine::erase()
{
    const unsigned char* saved = buffer.get();
    DrawTarget t = DrawTarget::screen();
    if (drawn && saved && t) {
        RestoreOp op{saved, saved + ZelMem::GetPtrSize(saved)};
        walk::line(*t.bitmap, *t.rgn, from, to, op);
    }
    drawn = 0;
}

void ZelSmartLine::free()
{
    buffer.release();
    drawn = 0;
}

void ZelSmartLine::printOn(std::ostream& os) const
{
    os << "ZelSmartLine from: " << "[ " << from.x << ", " << from.y << " ]"
       << ", to: " << "[ " << to.x << ", " << to.y << " ]" << ", line: [ ";
    const unsigned char* saved = buffer.get();
    if (!saved) {
        os << "]";
        return;
    }
    const int n = std::min<int>(need(), static_cast<int>(ZelMem::GetPtrSize(saved)));
    os << std::hex;
    for (int k = 0; k < n; ++k) {
        os << static_cast<unsigned>(saved[k]);
        if (k != scrWidth - 1)
            os << " ";
    }
    os << "]" << std::dec;
}
