// A GDI bitmap: either a one-bit pattern (CreateBitmap) or a 32-bit surface
// that a memory device context draws on (CreateCompatibleBitmap).
#pragma once

#include "platform/Win32.h"
#include "platform/image/Bitmap32.h"

#include <vector>

class CDC;

class CBitmap {
public:
    // One plane of one bit per pixel is supported; rows are WORD-aligned,
    // the leftmost pixel in the high bit.
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL DeleteObject();

    BOOL IsValid() const { return nWidth > 0 && nHeight > 0; }
    BOOL IsMonochrome() const { return bMono; }
    int Width() const { return nWidth; }
    int Height() const { return nHeight; }
    // The bit at (x, y) of a one-bit bitmap.
    BOOL MonoBit(int x, int y) const;
    CBitmap32& Surface() { return surface; }
    const CBitmap32& Surface() const { return surface; }

private:
    BOOL bMono = FALSE;
    int nWidth = 0;
    int nHeight = 0;
    std::vector<BYTE> monoRows; // WORD-aligned rows
    CBitmap32 surface;
};
