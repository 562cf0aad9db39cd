// One-bit pattern bitmaps.
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
    nWidth = w;
    nHeight = h;
    return TRUE;
}

BOOL CBitmap::DeleteObject()
{
    if (!IsValid())
        return FALSE;
    monoRows.clear();
    nWidth = nHeight = 0;
    return TRUE;
}

BOOL CBitmap::MonoBit(int x, int y) const
{
    const int stride = ((nWidth + 15) / 16) * 2;
    return (monoRows[static_cast<size_t>(y) * stride + x / 8] >> (7 - x % 8)) & 1;
}
