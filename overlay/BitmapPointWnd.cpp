// The overlay window's creation and composition.
#include "overlay/BitmapPointWnd.h"

#include "diag/ExceptionReport.h"
#include "overlay/PointerGeometry.h"
#include "platform/image/PngImage.h"
#include "settings/CoreAssist.h"

#include <cstdio>

BOOL CBitmapPointWnd::Create()
{
    if (layered.bExists())
        return TRUE;
    BOOL bResult = TRUE;
    vReportExceptions("", "Create", [&] {
        // Created hidden, top-most and without size: the first
        // bUpdateDisplay gives it its picture.
        bResult = layered.bCreate();
        if (bResult)
            layered.vKeepOnTop(TRUE);
    });
    return bResult;
}

BOOL CBitmapPointWnd::bUpdateDisplay()
{
    CCoreAssist* core = GetCoreAssist();
    return bUpdateDisplayFrom(core->option.strPointerFile, core->option.nOpacity);
}

// The picture at strPath, decoded again only when the file changed: the
// user may have replaced it, but a large picture takes long to decode.
const CBitmap32& CBitmapPointWnd::Picture(const QString& strPath)
{
    const SPictureKey key{strPath, SFileStamp::Of(strPath)};
    if (!key.stamp.bIsFile() || !(key == cachedKey)) {
        CPngImage::bDecodeFile(strPath, cachedPicture); // a failure leaves 0 x 0
        cachedKey = cachedPicture.IsEmpty() ? SPictureKey{} : key;
        bShowsCached = false;
    }
    return cachedPicture;
}

BOOL CBitmapPointWnd::bUpdateDisplayFrom(const QString& strPointerFile, int nOpacity)
{
    const std::uint8_t nAlpha = PointerGeometry::nAlphaFromOpacity(nOpacity);
    const CBitmap32& picture = Picture(strPointerFile);
    nImageHeight.store(picture.Height());
    nImageWidth.store(picture.Width());
    nHotSpot.store(PointerGeometry::nHotSpotFromPath(strPointerFile, picture.Width(), picture.Height()));
    const PointerGeometry::Placement origin = PointerGeometry::Place(0, 0, picture.Width(), picture.Height(), nHotSpot.load());
    layered.vSetHotSpot(-origin.x, -origin.y);

    // A hidden window keeps its picture: the same one at the same opacity
    // needs no new composition.
    if (bShowsCached && nShownAlpha == nAlpha && layered.bExists())
        return TRUE;
    BOOL bResult = layered.bUpdate(picture, nAlpha);
    bShowsCached = bResult && !picture.IsEmpty();
    nShownAlpha = nAlpha;
    if (!bResult) {
        char text[96];
        std::snprintf(text, sizeof text, "%s: %d\n", "CBitmapPointWnd::bUpdateDisplay Fail", 0);
        std::fputs(text, stderr);
    }
    return bResult;
}

BOOL CBitmapPointWnd::ShowWindow(int nCmdShow)
{
    if (!layered.bExists())
        return FALSE;
    layered.vShow(nCmdShow != SW_HIDE);
    return TRUE;
}

BOOL CBitmapPointWnd::DestroyWindow()
{
    bShowsCached = false; // a new window starts without a picture
    return layered.bDestroy();
}

LRESULT CBitmapPointWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: // all drawing goes through bUpdateDisplay
    case WM_SIZE:
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
