// The outline of a picture as a short list of rectangles: what a window
// shape without a compositor is made of. The list is kept short because the
// X server's cost of a shape grows with its rectangles, and while it works
// every client on the display waits.
#pragma once

#include "platform/image/Bitmap32.h"

#include <cstddef>
#include <vector>

struct ShapeRect {
    int x = 0;
    int y = 0;
    int nWidth = 0;
    int nHeight = 0;
    bool operator==(const ShapeRect&) const = default;
};

// The pixels at or above half alpha, as rectangles sorted into bands (same
// y and height within a band, bands top-down, left to right inside one):
// runs of a row, with rows of the same runs merged into one band. When that
// takes more than nMaxRects, the picture is cut into blocks of 2, 4, 8 ...
// pixels square, a block counting as in when any of its pixels is, until
// the list fits.
std::vector<ShapeRect> AlphaShapeRects(const CBitmap32& pic, std::size_t nMaxRects);
