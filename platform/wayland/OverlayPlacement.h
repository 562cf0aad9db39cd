// Where the layer-shell overlay stands: the output under the pointer, the
// picture's size in that output's logical pixels, and the margins from the
// output's top-left corner. Plain functions over plain values.
#pragma once

#include <cmath>
#include <cstddef>

// One output in the compositor's logical space, with the scale the overlay
// draws at there (a fractional one where the compositor offers it).
struct SOutputBox {
    int x = 0;
    int y = 0;
    int nWidth = 0;
    int nHeight = 0;
    double dScale = 1.0;
};

struct SOverlayPlace {
    int nOutput = -1; // index into the boxes; -1 when there is none
    int nMarginLeft = 0;
    int nMarginTop = 0;
};

// The output that holds the point, or else the one nearest to it; -1 when
// there are none.
inline int OutputUnder(const SOutputBox* boxes, std::size_t n, int x, int y)
{
    int nBest = -1;
    long long nBestDistance = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const SOutputBox& b = boxes[i];
        const long long dx = x < b.x ? b.x - x : (x >= b.x + b.nWidth ? x - (b.x + b.nWidth - 1) : 0);
        const long long dy = y < b.y ? b.y - y : (y >= b.y + b.nHeight ? y - (b.y + b.nHeight - 1) : 0);
        const long long d = dx * dx + dy * dy;
        if (nBest < 0 || d < nBestDistance) {
            nBest = static_cast<int>(i);
            nBestDistance = d;
        }
    }
    return nBest;
}

// A picture's length in logical pixels at a scale: device pixels stay one
// to one, so the picture is as large on the screen as on X11.
inline int LogicalLength(int nPixels, double dScale)
{
    if (nPixels <= 0)
        return 0;
    const int n = static_cast<int>(std::lround(nPixels / (dScale > 0 ? dScale : 1.0)));
    return n < 1 ? 1 : n;
}

// x, y: the picture's top-left corner as the pointer function computes it
// (the pointer less the hot spot in picture pixels); hotX, hotY: that hot
// spot. The pointer lies at x + hotX, y + hotY; on its output the picture
// is drawn at that output's scale, so the hot spot shrinks by it too.
inline SOverlayPlace PlaceOverlay(const SOutputBox* boxes, std::size_t n, int x, int y, int hotX, int hotY)
{
    SOverlayPlace place;
    const int px = x + hotX, py = y + hotY;
    place.nOutput = OutputUnder(boxes, n, px, py);
    if (place.nOutput < 0)
        return place;
    const SOutputBox& b = boxes[place.nOutput];
    place.nMarginLeft = px - LogicalLength(hotX, b.dScale) - b.x;
    place.nMarginTop = py - LogicalLength(hotY, b.dScale) - b.y;
    return place;
}
