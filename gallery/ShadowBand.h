// The drop shadow's pixels: which pixels of the band beside and below a
// rectangle are shaded, and how much, as plain functions over a 32-bit image.
#pragma once

#include "platform/image/Bitmap32.h"

namespace ShadowBand {

// Brightness in percent of a band pixel i pixels away from the rectangle.
int nBrightness(int i, int nDepth, int nDarkest, int nLightest);

// Calls visit(x, y, percent) exactly once for every shaded pixel of the band
// of a W x H rectangle with depth d, in coordinates from the rectangle's
// top-left corner: the right band from d pixels below the top, the bottom
// band from x = 2d + 1 (the rectangle's last row included) and the two
// rounded corners. The light seems to come from the upper left.
template <class Visit>
void vForEachPixel(int W, int H, int d, int nDarkest, int nLightest, Visit&& visit);

// Scales the colour of every band pixel to its brightness (an opaque copy of
// what lies beneath, darkened in place). img is (W + d) x (H + d).
void vDarken(CBitmap32& img, int W, int H, int d, int nDarkest = 70, int nLightest = 100);

// Paints every band pixel black with alpha 100 - brightness percent, for a
// window that a compositor blends over whatever lies beneath.
void vShade(CBitmap32& img, int W, int H, int d, int nDarkest = 70, int nLightest = 100);

// The corner brightness at (i, l), or -1 where the corner leaves it alone.
int nCornerBrightness(int i, int l, int nDepth, int nDarkest, int nLightest);

template <class Visit>
void vForEachPixel(int W, int H, int d, int nDarkest, int nLightest, Visit&& visit)
{
    for (int i = 0; i < d; ++i) {
        const int p = nBrightness(i, d, nDarkest, nLightest);
        for (int y = d; y <= H - 2; ++y)
            visit(W + i, y, p);
        for (int x = 2 * d + 1; x <= W - 1; ++x)
            visit(x, H - 1 + i, p);
        for (int l = 0; l < d; ++l) {
            const int q = nCornerBrightness(i, l, d, nDarkest, nLightest);
            if (q < 0)
                continue;
            visit(W + i, H - 1 + l, q);
            visit(2 * d - i, H - 1 + l, q);
        }
    }
}

} // namespace ShadowBand
