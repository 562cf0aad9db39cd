// The overlay's small arithmetic: hot spot from a picture's file name,
// opacity to constant alpha, and where the window stands for a cursor.
#pragma once

#include <QString>

#include <cstdint>

namespace PointerGeometry {

// Parses the number after the last hyphen of the file name (folder and
// extension stripped) the way wcstol does in base 10. -1 (centred) when
// there is no hyphen, the hyphen comes first or no digit follows; the
// picture's width when the number exceeds either side. (No sign can follow
// the last hyphen but '+', so the result is never below -1.)
int nHotSpotFromPath(const QString& strPath, int nImageWidth, int nImageHeight);

// Opacity in percent to constant alpha: p * 255 / 100 truncated, with p
// held to 0..100 first (a value out of range never wraps).
std::uint8_t nAlphaFromOpacity(int nOpacity);

// Top-left corner of the window for a cursor at (x, y): the hot spot
// (n, n) under the cursor, or the picture's centre (halves truncated) when
// the hot spot is -1.
struct Placement {
    int x;
    int y;
};
Placement Place(int x, int y, int nImageWidth, int nImageHeight, int nHotSpot);

// The screen's scale: device pixels per pixel of a picture shown at 100 %,
// the larger of the toolkit's device pixel ratio and Xft.dpi / 96 when
// Xft.dpi is 144 or more (0: not set); never below 1.
double dScreenScale(double dDevicePixelRatio, int nXftDpi);

// A picture's shown size for a size in percent on a screen of that scale:
// each side rounded, at least 1, and the longer side at most nMaxSide (the
// factor shrinks to fit it). The hot spot scales with it; -1 stays -1.
struct Shown {
    int nWidth;
    int nHeight;
    int nHotSpot;
};
Shown ScaleShown(int nWidth, int nHeight, int nHotSpot, int nPercent, double dScreenScale, int nMaxSide);

} // namespace PointerGeometry
