// The drop shadow of the gallery pop-up, translucent or from the screen's
// pixels, drawn straight into the window's surface.
#include "gallery/FODropShadow.h"

#include "gallery/ShadowBand.h"
#include "platform/ScreenPixels.h"
#include "platform/ui/DC.h"

#include <algorithm>

namespace {

// Copies a w x h block between surfaces, clipped to both.
void vCopy(const CBitmap32& src, int sx, int sy, CBitmap32& dst, int dx, int dy, int w, int h)
{
    for (int y = 0; y < h; ++y) {
        if (sy + y < 0 || sy + y >= src.Height() || dy + y < 0 || dy + y >= dst.Height())
            continue;
        for (int x = 0; x < w; ++x) {
            if (sx + x >= 0 && sx + x < src.Width() && dx + x >= 0 && dx + x < dst.Width())
                dst.SetPixel(dx + x, dy + y, src.Pixel(sx + x, sy + y));
        }
    }
}

// The band's device origin: rcShadow's top-left corner on the surface.
POINT Origin(const CDC* pDC, const RECT& rc)
{
    POINT pt{rc.left, rc.top};
    pDC->LPtoDP(&pt);
    return pt;
}

} // namespace

CFODropShadow::CFODropShadow()
{
    vReset();
}

CFODropShadow::~CFODropShadow()
{
    vReset();
}

void CFODropShadow::vReset()
{
    bmpSavedRight.vRelease();
    bmpSavedBottom.vRelease();
    rcShadow = RECT{};
    bCacheStrips = FALSE;
}

void CFODropShadow::vTakeBeneath(const RECT& rcScreen)
{
    bmpSavedRight.vRelease();
    bmpSavedBottom.vRelease();
    if (!CScreenPixels::bRead(rcScreen, beneath))
        beneath.vRelease();
}

BOOL CFODropShadow::bDraw(CDC* pDC, const RECT* rc, UINT nDepthPixels, BOOL bCache)
{
    rcShadow = *rc;
    nDepth = nDepthPixels;
    bCacheStrips = bCache;
    nDarkest = 70;
    nLightest = 100;
    return bRender(pDC);
}

BOOL CFODropShadow::bRender(CDC* pDC)
{
    if (nDepth == 0 || IsRectEmpty(&rcShadow))
        return TRUE;
    if (!pDC || !pDC->GetSurface())
        return FALSE;
    // A window not yet grown for its band has nowhere to draw it, and a
    // band cached from there would be empty.
    const POINT o = Origin(pDC, rcShadow);
    if (o.x < 0 || o.y < 0 || o.x + RectWidth(rcShadow) + static_cast<int>(nDepth) > pDC->GetSurface()->Width() ||
        o.y + RectHeight(rcShadow) + static_cast<int>(nDepth) > pDC->GetSurface()->Height())
        return FALSE;
    if (bTranslucent)
        return bTranslucentShadow(pDC);
    if (bRestoreStrips(pDC))
        return TRUE;
    return bSoftShadow(pDC);
}

BOOL CFODropShadow::bTranslucentShadow(CDC* pDC)
{
    const int W = RectWidth(rcShadow), H = RectHeight(rcShadow), d = static_cast<int>(nDepth);
    CBitmap32 img;
    if (!img.bCreate(W + d, H + d))
        return FALSE;
    ShadowBand::vShade(img, W, H, d, nDarkest, nLightest);
    // The band outside the rectangle is replaced, not blended: it starts clear.
    const POINT o = Origin(pDC, rcShadow);
    vCopy(img, W, 0, *pDC->GetSurface(), o.x + W, o.y, d, H + d);
    vCopy(img, 0, H, *pDC->GetSurface(), o.x, o.y + H, W + d, d);
    return TRUE;
}

BOOL CFODropShadow::bRestoreStrips(CDC* pDC)
{
    if (bmpSavedRight.IsEmpty() || bmpSavedBottom.IsEmpty())
        return FALSE;
    const int W = RectWidth(rcShadow), H = RectHeight(rcShadow), d = static_cast<int>(nDepth);
    if (bmpSavedRight.Width() != d || bmpSavedRight.Height() != H + d || bmpSavedBottom.Width() != W + d)
        return FALSE;
    const POINT o = Origin(pDC, rcShadow);
    vCopy(bmpSavedRight, 0, 0, *pDC->GetSurface(), o.x + W, o.y, d, H + d);
    vCopy(bmpSavedBottom, 0, 0, *pDC->GetSurface(), o.x, o.y + H, W + d, d);
    return TRUE;
}

BOOL CFODropShadow::bSoftShadow(CDC* pDC)
{
    bmpSavedRight.vRelease();
    bmpSavedBottom.vRelease();
    const int W = RectWidth(rcShadow), H = RectHeight(rcShadow), d = static_cast<int>(nDepth);
    const POINT o = Origin(pDC, rcShadow);
    CBitmap32 img;
    if (beneath.Width() == W + d && beneath.Height() == H + d) {
        if (!img.bCopyFrom(beneath))
            return FALSE;
    } else {
        // Nothing read from the screen: darken what the surface holds there.
        if (!img.bCreate(W + d, H + d))
            return FALSE;
        vCopy(*pDC->GetSurface(), o.x, o.y, img, 0, 0, W + d, H + d);
    }
    ShadowBand::vDarken(img, W, H, d, nDarkest, nLightest);
    // Only the band beside and below the rectangle: the rectangle is the window's own.
    vCopy(img, W, 0, *pDC->GetSurface(), o.x + W, o.y, d, H + d);
    vCopy(img, 0, H, *pDC->GetSurface(), o.x, o.y + H, W + d, d);
    return bCacheStrips ? bSaveStrips(pDC) : TRUE;
}

BOOL CFODropShadow::bSaveStrips(CDC* pDC)
{
    const int W = RectWidth(rcShadow), H = RectHeight(rcShadow), d = static_cast<int>(nDepth);
    const POINT o = Origin(pDC, rcShadow);
    if (!bmpSavedRight.bCreate(d, H + d) || !bmpSavedBottom.bCreate(W + d, d)) {
        bmpSavedRight.vRelease();
        bmpSavedBottom.vRelease();
        return FALSE;
    }
    vCopy(*pDC->GetSurface(), o.x + W, o.y, bmpSavedRight, 0, 0, d, H + d);
    vCopy(*pDC->GetSurface(), o.x, o.y + H, bmpSavedBottom, 0, 0, W + d, d);
    return TRUE;
}
