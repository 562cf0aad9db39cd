// The overlay window: a click-through, top-most window that shows the
// pointer picture with its own transparency weakened by the opacity.
#pragma once

#include "platform/LayeredWindow.h"
#include "platform/image/PictureCache.h"
#include "platform/ui/Wnd.h"

#include <QString>

#include <cstdint>

#include <atomic>
#include <functional>
#include <memory>

class CBitmapPointWnd : public CWnd {
public:
    CBitmapPointWnd();
    ~CBitmapPointWnd() override = default;

    // Creates the hidden window; TRUE at once if it exists.
    virtual BOOL Create();
    // Makes the chosen picture the window's content at the window's current
    // position; reads the options anew on every call. A picture not decoded
    // yet is asked of the decoding worker, and the window keeps what it
    // shows until it arrives (then fnPictureChanged runs).
    BOOL bUpdateDisplay();
    // The same with the picture and opacity given, shown at nSizePercent of
    // its size times the screen's scale.
    BOOL bUpdateDisplayFrom(const QString& strPointerFile, int nOpacity, int nSizePercent = 100, double dScreenScale = 1.0);
    // Device pixels per picture pixel at 100 % on the primary screen.
    static double dCurrentScreenScale();
    // A picture that was waited for is now the window's content, with its
    // own size and hot spot.
    std::function<void()> fnPictureChanged;

    // The platform window, in the framework's terms: the overlay is an X
    // window of its own, not a widget.
    BOOL bHasWindow() const { return layered.bExists(); }
    BOOL ShowWindow(int nCmdShow) override;
    BOOL DestroyWindow() override;
    // Any thread: moves without resizing, restacking or redrawing.
    void vMoveTo(int x, int y) { layered.vMove(x, y); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const CLayeredWindow& Layered() const { return layered; }

    // Written on the UI thread by bUpdateDisplay, read by the mouse thread.
    std::atomic<int> nImageHeight{0};
    std::atomic<int> nImageWidth{0};
    std::atomic<int> nHotSpot{0};

private:
    BOOL bCompose(const std::shared_ptr<const CBitmap32>& pPicture, std::uint64_t nSerial, int nHotSpotShown,
        std::uint8_t nAlpha);
    // The decoded picture at the size given, resampled once per picture and size.
    std::shared_ptr<const CBitmap32> Sized(const SPictureFound& found, int nWidth, int nHeight);
    void vOnPictureArrived(const QString& strPath);

    CLayeredWindow layered;
    // Only the last picture is kept (its first showing pays for decoding
    // it, and one that fails to decode is not tried again until it changes).
    CPictureCache pictures{0};
    // The picture waited for, and the opacity to show it at.
    QString strWanted;
    int nWantedOpacity = 0;
    int nWantedSize = 100;
    double dWantedScale = 1.0;
    // The last resampled picture, of the cache's picture nSizedSerial.
    std::shared_ptr<const CBitmap32> pSized;
    std::uint64_t nSizedSerial = 0;
    bool bWaiting = false;
    // Whether the window shows the cache's picture nShownSerial at nShownAlpha
    // and the size nShownWidth x nShownHeight.
    bool bShowsPicture = false;
    std::uint64_t nShownSerial = 0;
    int nShownWidth = 0;
    int nShownHeight = 0;
    std::uint8_t nShownAlpha = 0;
};
