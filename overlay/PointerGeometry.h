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

} // namespace PointerGeometry
