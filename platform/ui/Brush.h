// A GDI brush: a solid colour, an 8 x 8 two-colour pattern, or hollow.
#pragma once

#include "platform/base/Win32.h"

class CBitmap;

constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;

class CBrush {
public:
    enum class Kind { None, Solid, Pattern, Hollow };

    CBrush() = default;
    explicit CBrush(COLORREF clrSolid) { CreateSolidBrush(clrSolid); }

    BOOL CreateSolidBrush(COLORREF clr);
    // From a one-bit bitmap of at least 8 x 8: a 0 bit paints the surface's
    // text colour, a 1 bit its background colour.
    BOOL CreatePatternBrush(const CBitmap* pBitmap);
    BOOL DeleteObject();

    Kind GetKind() const { return kind; }
    BOOL IsValid() const { return kind != Kind::None; }
    COLORREF GetColor() const { return clr; }
    // Bit of the pattern at (x mod 8, y mod 8), x counted from the left.
    BOOL PatternBit(int x, int y) const { return (rows[y & 7] >> (7 - (x & 7))) & 1; }

private:
    friend CBrush* GetStockBrush(int);
    Kind kind = Kind::None;
    COLORREF clr = 0;
    BYTE rows[8] = {};
};
using HBRUSH = CBrush*;

// The shared stock brushes (never deleted): white, black, hollow.
CBrush* GetStockBrush(int nObject);
