// A GDI bitmap of one bit per pixel: the pattern of a pattern brush.
#pragma once

#include "platform/base/Win32.h"

#include <vector>

class CBitmap {
public:
    // One plane of one bit per pixel is supported; rows are WORD-aligned,
    // the leftmost pixel in the high bit.
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL DeleteObject();

    BOOL IsValid() const { return nWidth > 0 && nHeight > 0; }
    int Width() const { return nWidth; }
    int Height() const { return nHeight; }
    // The bit at (x, y), inside the bitmap, of a one-bit bitmap.
    BOOL MonoBit(int x, int y) const;

private:
    int nWidth = 0;
    int nHeight = 0;
    std::vector<BYTE> monoRows; // WORD-aligned rows
};
