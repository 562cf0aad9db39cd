// Screen read-back without a display: no compositor, and a white screen.
#include "platform/ScreenPixels.h"

#include "platform/image/Bitmap32.h"

#include <algorithm>

BOOL CScreenPixels::bComposited()
{
    return FALSE;
}

BOOL CScreenPixels::bRead(const RECT& rc, CBitmap32& out)
{
    if (!out.bCreate(RectWidth(rc), RectHeight(rc)))
        return FALSE;
    for (int y = 0; y < out.Height(); ++y)
        std::fill(out.Row(y), out.Row(y) + out.Width(), 0xFFFFFFFFu);
    return TRUE;
}

int CScreenPixels::nXftDpi()
{
    return 0;
}
