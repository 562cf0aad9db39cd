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
    });
    return bResult;
}

BOOL CBitmapPointWnd::bUpdateDisplay()
{
    CCoreAssist* core = GetCoreAssist();
    return bUpdateDisplayFrom(core->option.strPointerFile, core->option.nOpacity);
}

BOOL CBitmapPointWnd::bUpdateDisplayFrom(const QString& strPointerFile, int nOpacity)
{
    const std::uint8_t nAlpha = PointerGeometry::nAlphaFromOpacity(nOpacity);
    // Decoded from disk every time: the user may have replaced the file.
    CBitmap32 picture;
    CPngImage::bDecodeFile(strPointerFile, picture); // a failure leaves 0 x 0
    nImageHeight.store(picture.Height());
    nImageWidth.store(picture.Width());
    nHotSpot.store(PointerGeometry::nHotSpotFromPath(strPointerFile, picture.Width(), picture.Height()));

    BOOL bResult = layered.bUpdate(picture, nAlpha);
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
