// The overlay window's creation and composition.
#include "overlay/BitmapPointWnd.h"

#include "diag/ExceptionReport.h"
#include "overlay/PointerGeometry.h"
#include "platform/image/BicubicScale.h"
#include "platform/ui/Display.h"
#include "platform/image/PngImage.h"
#include "platform/ScreenPixels.h"
#include "settings/CoreAssist.h"


#include <cstdio>

CBitmapPointWnd::CBitmapPointWnd()
{
    pictures.fnArrived = [this](const QString& strPath) { vOnPictureArrived(strPath); };
}

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
    // The toolkit's ratio follows QT_SCALE_FACTOR but not the desktop's Xft.dpi.
    return PointerGeometry::dScreenScale(DisplayPixelRatio(), CScreenPixels::nXftDpi());
}

BOOL CBitmapPointWnd::bUpdateDisplayFrom(const QString& strPointerFile, int nOpacity, int nSizePercent, double dScale)
{
    // Before the gallery's cells: the user waits for this one.
    SPictureFound found;
    pictures.Find(strPointerFile, 0, 0, &found, TRUE);
    bWaiting = found.state == PictureState::Pending;
    if (bWaiting) {
        strWanted = strPointerFile;
        nWantedOpacity = nOpacity;
        nWantedSize = nSizePercent;
        dWantedScale = dScale;
        return TRUE;
    }
    if (!found.picture)
        found.picture = std::make_shared<const CBitmap32>();
    const CBitmap32& decoded = *found.picture;
    const int nOwnHotSpot = PointerGeometry::nHotSpotFromPath(strPointerFile, decoded.Width(), decoded.Height());
    const PointerGeometry::Shown shown = PointerGeometry::ScaleShown(decoded.Width(), decoded.Height(), nOwnHotSpot,
        nSizePercent, dScale, CPngImage::nMaxSide);
    const std::shared_ptr<const CBitmap32> picture = Sized(found, shown.nWidth, shown.nHeight);
    // A picture that could not be resampled is shown at its own size.
    const bool bResized = picture->Width() == shown.nWidth && picture->Height() == shown.nHeight;
    return bCompose(picture, found.nSerial, bResized ? shown.nHotSpot : nOwnHotSpot,
        PointerGeometry::nAlphaFromOpacity(nOpacity));
}

std::shared_ptr<const CBitmap32> CBitmapPointWnd::Sized(const SPictureFound& found, int nWidth, int nHeight)
{
    const CBitmap32& decoded = *found.picture;
    if (nWidth == decoded.Width() && nHeight == decoded.Height())
        return found.picture;
    if (!pSized || nSizedSerial != found.nSerial || pSized->Width() != nWidth || pSized->Height() != nHeight) {
        auto scaled = std::make_shared<CBitmap32>();
        if (!bScaleBicubic(decoded, nWidth, nHeight, *scaled))
            return found.picture;
        pSized = std::move(scaled);
        nSizedSerial = found.nSerial;
    }
    return pSized;
}

void CBitmapPointWnd::vOnPictureArrived(const QString& strPath)
{
    if (!bWaiting || strPath != strWanted)
        return;
    bUpdateDisplayFrom(strWanted, nWantedOpacity, nWantedSize, dWantedScale);
    if (!bWaiting && fnPictureChanged)
        fnPictureChanged();
}

BOOL CBitmapPointWnd::bCompose(const std::shared_ptr<const CBitmap32>& pPicture, std::uint64_t nSerial,
    int nHotSpotShown, std::uint8_t nAlpha)
{
    const CBitmap32& picture = *pPicture;
    nImageHeight.store(picture.Height());
    nImageWidth.store(picture.Width());
    nHotSpot.store(nHotSpotShown);
    const PointerGeometry::Placement origin = PointerGeometry::Place(0, 0, picture.Width(), picture.Height(), nHotSpot.load());
    layered.vSetHotSpot(-origin.x, -origin.y);

    // A hidden window keeps its picture: the same one at the same size and
    // opacity needs no new composition.
    if (bShowsPicture && nShownSerial == nSerial && nShownWidth == picture.Width()
        && nShownHeight == picture.Height() && nShownAlpha == nAlpha && layered.bExists())
        return TRUE;
    // Shared, not copied: the cache never changes a picture it handed out.
    BOOL bResult = layered.bUpdateShared(pPicture, nAlpha);
    bShowsPicture = bResult && !picture.IsEmpty();
    nShownSerial = nSerial;
    nShownWidth = picture.Width();
    nShownHeight = picture.Height();
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
    bShowsPicture = false; // a new window starts without a picture
    bWaiting = false;
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
