// The overlay window's creation and composition.
#include "overlay/BitmapPointWnd.h"

#include "diag/ExceptionReport.h"
#include "overlay/PointerGeometry.h"
#include "platform/image/BicubicScale.h"
#include "platform/image/PngImage.h"
#include "platform/ScreenPixels.h"
#include "settings/CoreAssist.h"

#include <QGuiApplication>
#include <QScreen>

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
    return bUpdateDisplayFrom(core->option.strPointerFile, core->option.nOpacity, core->presenter.nPointerSize,
        dCurrentScreenScale());
}

double CBitmapPointWnd::dCurrentScreenScale()
{
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        ? QGuiApplication::primaryScreen() : nullptr;
    // The toolkit's ratio follows QT_SCALE_FACTOR but not the desktop's Xft.dpi.
    return PointerGeometry::dScreenScale(screen ? screen->devicePixelRatio() : 1.0, CScreenPixels::nXftDpi());
}

const CBitmap32& CBitmapPointWnd::Sized(const CBitmap32& decoded, int nWidth, int nHeight)
{
    if (nWidth == decoded.Width() && nHeight == decoded.Height()) {
        // Back from another size: the window shows the resampled picture.
        if (bSizedValid)
            bShowsCached = false;
        bSizedValid = FALSE;
        return decoded;
    }
    if (!bSizedValid || sizedPicture.Width() != nWidth || sizedPicture.Height() != nHeight) {
        bSizedValid = bScaleBicubic(decoded, nWidth, nHeight, sizedPicture);
        bShowsCached = false;
    }
    return sizedPicture;
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
        bSizedValid = FALSE;
    }
    return cachedPicture;
}

BOOL CBitmapPointWnd::bUpdateDisplayFrom(const QString& strPointerFile, int nOpacity, int nSizePercent, double dScale)
{
    const std::uint8_t nAlpha = PointerGeometry::nAlphaFromOpacity(nOpacity);
    const CBitmap32& decoded = Picture(strPointerFile);
    const PointerGeometry::Shown shown = PointerGeometry::ScaleShown(decoded.Width(), decoded.Height(),
        PointerGeometry::nHotSpotFromPath(strPointerFile, decoded.Width(), decoded.Height()), nSizePercent, dScale,
        CPngImage::nMaxSide);
    const CBitmap32& picture = Sized(decoded, shown.nWidth, shown.nHeight);
    nImageHeight.store(picture.Height());
    nImageWidth.store(picture.Width());
    nHotSpot.store(shown.nHotSpot);
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
