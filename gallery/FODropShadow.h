// The gallery pop-up's drop shadow: a band d pixels deep to the right of and
// below a rectangle, drawn into the window's own surface. With a compositing
// manager the band is translucent black, so it darkens whatever lies beneath
// at every showing; without one it is the screen's pixels read before the
// window was mapped, darkened, and kept as two strips for later paints of
// the same showing.
#pragma once

#include "platform/image/Bitmap32.h"

class CDC;

class CFODropShadow {
public:
    CFODropShadow();
    ~CFODropShadow();
    CFODropShadow(const CFODropShadow&) = delete;
    CFODropShadow& operator=(const CFODropShadow&) = delete;

    BOOL bDraw(CDC* pDC, const RECT* rc, UINT nDepth, BOOL bCacheStrips);
    void vReset();
    // Before each showing without a compositor: keeps what the screen shows
    // at rcScreen (the rectangle and its band, in screen coordinates) and
    // drops the strips of the showing before.
    void vTakeBeneath(const RECT& rcScreen);

    int nDarkest = 70;
    int nLightest = 100;
    CBitmap32 bmpSavedRight;
    CBitmap32 bmpSavedBottom;
    RECT rcShadow{};
    UINT nDepth = 0;
    BOOL bCacheStrips = FALSE;
    // Set by the window when a compositor blends it over the screen.
    BOOL bTranslucent = FALSE;

private:
    BOOL bRender(CDC* pDC);
    BOOL bRestoreStrips(CDC* pDC);
    BOOL bSoftShadow(CDC* pDC);
    BOOL bTranslucentShadow(CDC* pDC);
    BOOL bSaveStrips(CDC* pDC);

    CBitmap32 beneath;
};
