// One-bit pattern bitmaps and 32-bit drawing surfaces.
#include "platform/ui/GdiBitmap.h"

#include <cstring>

BOOL CBitmap::CreateBitmap(int w, int h, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    DeleteObject();
    if (w <= 0 || h <= 0 || nPlanes != 1 || nBitcount != 1)
        return FALSE;
    const int stride = ((w + 15) / 16) * 2;
    monoRows.assign(static_cast<size_t>(stride) * h, 0);
    if (lpBits)
        std::memcpy(monoRows.data(), lpBits, monoRows.size());
    bMono = TRUE;
    nWidth = w;
    nHeight = h;
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int w, int h)
{
    DeleteObject();
    if (w <= 0 || h <= 0 || !surface.bCreate(w, h))
        return FALSE;
    nWidth = w;
    nHeight = h;
    return TRUE;
}

BOOL CBitmap::DeleteObject()
{
    if (!IsValid())
        return FALSE;
    monoRows.clear();
    surface.vRelease();
    bMono = FALSE;
    nWidth = nHeight = 0;
    return TRUE;
}

BOOL CBitmap::MonoBit(int x, int y) const
{
    if (!bMono || x < 0 || y < 0 || x >= nWidth || y >= nHeight)
        return FALSE;
    const int stride = ((nWidth + 15) / 16) * 2;
    return (monoRows[static_cast<size_t>(y) * stride + x / 8] >> (7 - x % 8)) & 1;
}
