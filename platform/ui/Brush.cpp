// Solid, pattern and stock brushes.
#include "platform/ui/Brush.h"

#include "platform/ui/GdiBitmap.h"

BOOL CBrush::CreateSolidBrush(COLORREF c)
{
    kind = Kind::Solid;
    clr = c & 0x00FFFFFFu;
    return TRUE;
}

BOOL CBrush::CreatePatternBrush(const CBitmap* pBitmap)
{
    if (!pBitmap || !pBitmap->IsValid() || pBitmap->Width() < 8 || pBitmap->Height() < 8)
        return FALSE;
    for (int y = 0; y < 8; ++y) {
        BYTE row = 0;
        for (int x = 0; x < 8; ++x)
            row = static_cast<BYTE>((row << 1) | (pBitmap->MonoBit(x, y) ? 1 : 0));
        rows[y] = row;
    }
    kind = Kind::Pattern;
    return TRUE;
}

BOOL CBrush::DeleteObject()
{
    if (kind == Kind::None)
        return FALSE;
    kind = Kind::None;
    return TRUE;
}

CBrush* GetStockBrush(int nObject)
{
    static CBrush white(RGB(255, 255, 255));
    static CBrush black(RGB(0, 0, 0));
    static CBrush hollow = [] {
        CBrush b;
        b.kind = CBrush::Kind::Hollow;
        return b;
    }();
    switch (nObject) {
    case WHITE_BRUSH:
        return &white;
    case BLACK_BRUSH:
        return &black;
    case NULL_BRUSH:
        return &hollow;
    default:
        return nullptr;
    }
}
