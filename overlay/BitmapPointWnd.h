// The overlay window: a click-through, top-most window that shows the
// pointer picture with its own transparency weakened by the opacity.
#pragma once

#include "platform/LayeredWindow.h"
#include "platform/storage/FileStamp.h"
#include "platform/ui/Wnd.h"

#include <QString>

#include <cstdint>

#include <atomic>

class CBitmapPointWnd : public CWnd {
public:
    CBitmapPointWnd() = default;
    ~CBitmapPointWnd() override = default;

    // Creates the hidden window; TRUE at once if it exists.
    virtual BOOL Create();
    // Decodes the chosen picture and makes it the window's content at the
    // window's current position; reads the options anew on every call.
    BOOL bUpdateDisplay();
    // The same with the picture and opacity given, shown at nSizePercent of
    // its size times the screen's scale.
    BOOL bUpdateDisplayFrom(const QString& strPointerFile, int nOpacity, int nSizePercent = 100, double dScreenScale = 1.0);
    // Device pixels per picture pixel at 100 % on the primary screen.
    static double dCurrentScreenScale();

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
    // What identifies a decoded picture on disk: a file replaced or rewritten
    // changes its size or modification time.
    struct SPictureKey {
        QString strPath;
        SFileStamp stamp;
        bool operator==(const SPictureKey&) const = default;
    };
    const CBitmap32& Picture(const QString& strPath);
    // The decoded picture at the size given, resampled once per size.
    const CBitmap32& Sized(const CBitmap32& decoded, int nWidth, int nHeight);

    CLayeredWindow layered;
    // The last picture decoded (only the first showing of a picture pays
    // for decoding it), and whether the window still shows it at nShownAlpha.
    CBitmap32 cachedPicture;
    SPictureKey cachedKey;
    CBitmap32 sizedPicture; // cachedPicture resampled, when shown at another size
    BOOL bSizedValid = FALSE;
    bool bShowsCached = false;
    std::uint8_t nShownAlpha = 0;
};
