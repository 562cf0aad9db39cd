// Turns the overlay's picture into a pixmap on the X server without holding
// up the UI thread: a worker thread converts the pixels (constant alpha
// folded in, or made opaque with a 1-bit shape mask) into shared memory,
// and the UI thread then asks the server to copy them, without waiting for
// it. Over a connection without shared memory the pixels go through the
// socket instead. A newer picture supersedes one still being converted.
#pragma once

#include "platform/base/Win32.h"
#include "platform/image/Bitmap32.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

class QObject;

class CX11PictureUpload {
public:
    // UI thread: the picture is on the server. The pixmap is the receiver's
    // to free; shape is the bounding outline (banded), null for a blended
    // picture.
    using Done = std::function<void(Pixmap content, const std::vector<XRectangle>* shape, int w, int h)>;

    // UI thread. The target window fixes the depth and visual.
    CX11PictureUpload(Display* dpy, Window win, Visual* visual, int nDepth, Done fnDone);
    ~CX11PictureUpload(); // UI thread: joins the worker
    CX11PictureUpload(const CX11PictureUpload&) = delete;
    CX11PictureUpload& operator=(const CX11PictureUpload&) = delete;

    // UI thread. bBlend: premultiplied with nAlpha folded in, for a
    // compositor; else opaque colours and an outline of the pixels at or above
    // half alpha (none when nAlpha is 0). FALSE when out of memory. A later
    // start drops this one unless bFinish: a window with nothing to show yet
    // shows this picture first, however fast the next ones come (an
    // animation on a busy machine would otherwise never show a frame).
    BOOL bStart(std::shared_ptr<const CBitmap32> picture, std::uint8_t nAlpha, bool bBlend, bool bFinish = false);
    // UI thread: whatever was started is dropped.
    void vCancel() { nCancelledUpTo.store(++nLatest); }
    // The rows of a w-pixel-wide picture in one band of about 4 MB: a large
    // picture goes to the server, and is painted, a band per request, so the
    // server serves other clients in between.
    static int nBandRows(int w) { return std::max(1, (4 << 20) / std::max(1, w * 4)); }
    // UI thread: the server's note that it finished a copy.
    BOOL bHandleEvent(const XEvent& ev);

    struct SJob;

private:
    void vRun();
    void vDeliver();
    BOOL bDropped(const SJob& job) const;
    static BOOL bShmWorks(Display* dpy);
    BOOL bShmImage(SJob& job, int w, int h);
    BOOL bMallocImage(SJob& job, int w, int h);

    Display* dpy;
    Window win;
    Visual* visual;
    int nDepth;
    Done fnDone;
    int nShmCompletion = -1; // event type; -1: no shared memory

    std::unique_ptr<QObject> receiver; // the worker's results arrive through it
    std::mutex mutex;
    std::condition_variable wake;
    std::unique_ptr<SJob> pending;  // to convert
    std::unique_ptr<SJob> finished; // converted, for the UI thread
    bool bQuit = false;
    std::thread worker;
    std::atomic<std::uint64_t> nLatest{0};
    std::atomic<std::uint64_t> nCancelledUpTo{0};
    // Segments the server may still read: mapped until it says it is done.
    std::vector<std::pair<unsigned long, void*>> inFlight;
};
