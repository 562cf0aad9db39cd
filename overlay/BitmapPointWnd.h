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
    // The same with the picture and opacity given.
    BOOL bUpdateDisplayFrom(const QString& strPointerFile, int nOpacity);
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
    BOOL bCompose(const QString& strPath, const std::shared_ptr<const CBitmap32>& pPicture, std::uint64_t nSerial,
        std::uint8_t nAlpha);
    void vOnPictureArrived(const QString& strPath);

    CLayeredWindow layered;
    // Only the last picture is kept (its first showing pays for decoding
    // it, and one that fails to decode is not tried again until it changes).
    CPictureCache pictures{0};
    // The picture waited for, and the opacity to show it at.
    QString strWanted;
    int nWantedOpacity = 0;
    bool bWaiting = false;
    // Whether the window shows the cache's picture nShownSerial at nShownAlpha.
    bool bShowsPicture = false;
    std::uint64_t nShownSerial = 0;
    std::uint8_t nShownAlpha = 0;
};
