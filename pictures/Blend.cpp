#include "pictures/Blend.h"

#include <algorithm>
#include <string>

namespace tavi {

Bitmap &blend(Bitmap &a, Bitmap &b, int rowShift, int weight)
{
    // Two 24-bit pictures (an apply's content and BMP background) blend as they are:
    // a 32-bit copy of a large background costs more than the blend itself.
    if (a.bitsPerPixel() != 24 || b.bitsPerPixel() != 24) {
        a.convertTo32();
        b.convertTo32();
    }
    const int bytes = a.bitsPerPixel() / 8;
    const int rows = std::min(a.height(), b.height());
    const int narrow = std::min(a.width(), b.width());
    const int wide = std::max(a.width(), b.width());
    const int x0 = wide - narrow - 50;

    const bool bIsOverlay = b.height() == rows;
    Bitmap &base = bIsOverlay ? a : b;
    const Bitmap &overlay = bIsOverlay ? b : a;
    const int shift = bIsOverlay ? 0 : rowShift;
    if (rows == 0)
        return base; // an empty picture: nothing to lay over
    if (base.width() - overlay.width() < 50)
        throw BlendError("blend: the base (" + std::to_string(base.width()) + " wide) must be at least 50 pixels "
                         "wider than the overlay (" + std::to_string(overlay.width()) + " wide)");

    for (int r = 0; r < rows; ++r) {
        const int baseRow = r + shift;
        if (baseRow < 0 || baseRow >= base.height())
            throw BlendError("blend: row index out of range (overlay row " + std::to_string(r) + " on base row "
                             + std::to_string(baseRow) + " of " + std::to_string(base.height()) + ")");
        const std::uint8_t *o = overlay.row(r);
        std::uint8_t *p = base.row(baseRow) + bytes * x0;
        for (int x = 0; x < narrow; ++x, o += bytes, p += bytes) {
            if (o[0] == 255 && o[1] == 255 && o[2] == 255)
                continue; // pure white is transparent
            for (int byte = 0; byte < bytes; ++byte)
                p[byte] = std::uint8_t(p[byte] + (o[byte] - p[byte]) * weight / 100);
        }
    }
    return base;
}

} // namespace tavi
