// The overlay's X window: override-redirect, 32-bit ARGB visual, empty input
// shape (clicks fall through), content held in a server-side background
// pixmap so a move never redraws. Without a compositor the alpha channel
// becomes a bounding shape instead of a black box.
#include "platform/x11/X11Overlay.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11PictureUpload.h"
#include "platform/x11/X11StackingWatch.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

struct SX11Overlay {
    Display* dpy = nullptr; // the UI connection
    Window win = 0;
    Window root = 0;
    Visual* visual = nullptr;
    Colormap colormap = 0;
    int nDepth = 0;
    bool bArgb = false;       // a 32-bit visual: a compositor can blend us
    bool bComposited = false; // a compositing manager owns _NET_WM_CM_S<n>
    Atom cmAtom = None;
    int nXfixesEventBase = -1;
    int nHandlerToken = 0;
    std::shared_ptr<const CBitmap32> picture; // the last one, without the constant alpha
    std::uint8_t nAlpha = 255;
    std::unique_ptr<CX11PictureUpload> upload;
    bool bReadOutline = false; // once the next content is there
    bool bHasContent = false;
    bool bShown = false;
    bool bMapped = false;
    std::unique_ptr<CX11StackingWatch> watch; // while kept on top
};

namespace {

void vSyncMapping(SX11Overlay& im);
void vMakeCompositorReadOutline(SX11Overlay& im, int w, int h);

void vSetAtomProperty(Display* dpy, Window win, const char* prop, const std::vector<const char*>& values)
{
    std::vector<Atom> atoms;
    for (const char* v : values)
        atoms.push_back(XInternAtom(dpy, v, False));
    XChangeProperty(dpy, win, XInternAtom(dpy, prop, False), XA_ATOM, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
}

// The picture made on the server is the window's content and size; the
// old content stays until then.
void vTakeContent(SX11Overlay& im, Pixmap content, const std::vector<XRectangle>* shape, int w, int h)
{
    // The window keeps its own reference to the background pixmap.
    XSetWindowBackgroundPixmap(im.dpy, im.win, content);
    XFreePixmap(im.dpy, content);
    XResizeWindow(im.dpy, im.win, w, h);
    // Painted in bands, as the picture was copied.
    const int nBand = CX11PictureUpload::nBandRows(w);
    for (int y = 0; y < h; y += nBand)
        XClearArea(im.dpy, im.win, 0, y, static_cast<unsigned>(w), static_cast<unsigned>(std::min(nBand, h - y)), False);
    if (shape)
        XShapeCombineRectangles(im.dpy, im.win, ShapeBounding, 0, 0, const_cast<XRectangle*>(shape->data()),
            static_cast<int>(shape->size()), ShapeSet, YXBanded);
    else
        XShapeCombineMask(im.dpy, im.win, ShapeBounding, 0, 0, None, ShapeSet);
    im.bHasContent = true;
    vSyncMapping(im);
    if (std::exchange(im.bReadOutline, false))
        vMakeCompositorReadOutline(im, w, h);
    XFlush(im.dpy);
}

void vSyncMapping(SX11Overlay& im)
{
    const bool bWant = im.bShown && im.bHasContent;
    if (bWant && !im.bMapped)
        XMapRaised(im.dpy, im.win);
    else if (!bWant && im.bMapped)
        XUnmapWindow(im.dpy, im.win);
    im.bMapped = bWant;
    if (im.watch)
        im.watch->vKeep(bWant ? im.win : 0);
}

// Re-makes the content for the current compositing state: at once when
// there is none, else once the worker has converted the picture.
BOOL bApplyContent(SX11Overlay& im)
{
    if (im.picture && !im.picture->IsEmpty())
        // A hidden window or one without content shows this picture first.
        return im.upload->bStart(im.picture, im.nAlpha, im.bArgb && im.bComposited, !im.bHasContent || !im.bMapped);
    im.upload->vCancel();
    im.bHasContent = false;
    vSyncMapping(im);
    XFlush(im.dpy);
    return true;
}

// A compositor that took the screen while the window was cut by its alpha
// shape may keep that outline until the window is configured again (and a
// still pointer never moves it): a size change there and back makes it read
// the outline anew.
void vMakeCompositorReadOutline(SX11Overlay& im, int w, int h)
{
    XResizeWindow(im.dpy, im.win, w, h + 1);
    XResizeWindow(im.dpy, im.win, w, h);
    XFlush(im.dpy);
}

// Added once the window and its upload exist, removed before they go.
BOOL bHandleEvent(SX11Overlay& im, XEvent& ev)
{
    if (im.upload->bHandleEvent(ev))
        return true;
    if (im.nXfixesEventBase >= 0 && ev.type == im.nXfixesEventBase + XFixesSelectionNotify) {
        auto& sel = reinterpret_cast<XFixesSelectionNotifyEvent&>(ev);
        if (sel.selection != im.cmAtom)
            return false;
        bool bNow = im.bArgb && sel.owner != None;
        if (bNow != im.bComposited) {
            im.bComposited = bNow;
            if (im.picture && !im.picture->IsEmpty()) {
                im.bReadOutline = bNow;
                bApplyContent(im);
            }
        }
        return true;
    }
    return false;
}

} // namespace

namespace {

// A 32-bit visual lets a compositor blend the picture; else the default one.
void vChooseVisual(SX11Overlay& im, int screen)
{
    XVisualInfo vi;
    if (XMatchVisualInfo(im.dpy, screen, 32, TrueColor, &vi)) {
        im.visual = vi.visual;
        im.nDepth = 32;
        im.bArgb = true;
    } else {
        im.visual = DefaultVisual(im.dpy, screen);
        im.nDepth = DefaultDepth(im.dpy, screen);
    }
}

// Override-redirect, click-through (empty input shape), and marked for
// window managers and task bars as a drag icon kept above and not listed.
void vCreateWindow(SX11Overlay& im)
{
    im.colormap = XCreateColormap(im.dpy, im.root, im.visual, AllocNone);
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.colormap = im.colormap;
    attrs.border_pixel = 0;
    attrs.background_pixel = 0;
    im.win = XCreateWindow(im.dpy, im.root, 0, 0, 1, 1, 0, im.nDepth, InputOutput, im.visual,
        CWOverrideRedirect | CWColormap | CWBorderPixel | CWBackPixel, &attrs);
    XShapeCombineRectangles(im.dpy, im.win, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);

    XClassHint hint{const_cast<char*>("lumicue-pointer"), const_cast<char*>("Lumicue")};
    XSetClassHint(im.dpy, im.win, &hint);
    vSetAtomProperty(im.dpy, im.win, "_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_DND"});
    vSetAtomProperty(im.dpy, im.win, "_NET_WM_STATE",
        {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});
}

// Learns whether a compositing manager runs, and asks to hear when one
// starts or stops.
void vWatchCompositor(SX11Overlay& im, int screen)
{
    char cmName[32];
    std::snprintf(cmName, sizeof cmName, "_NET_WM_CM_S%d", screen);
    im.cmAtom = XInternAtom(im.dpy, cmName, False);
    int fixesEvent = 0, fixesError = 0;
    if (XFixesQueryExtension(im.dpy, &fixesEvent, &fixesError)) {
        im.nXfixesEventBase = fixesEvent;
        XFixesSelectSelectionInput(im.dpy, im.root, im.cmAtom,
            XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask
                | XFixesSelectionClientCloseNotifyMask);
    }
    im.bComposited = im.bArgb && XGetSelectionOwner(im.dpy, im.cmAtom) != None;
}

} // namespace

CX11Overlay::CX11Overlay() : pIm(std::make_unique<SX11Overlay>()), im(*pIm) {}

CX11Overlay::~CX11Overlay()
{
    vDestroy();
}

unsigned long CX11Overlay::nCreate()
{
    if (nWin.load())
        return nWin.load();
    im = SX11Overlay{};
    im.dpy = CX11Display::UiDisplay();
    if (!im.dpy)
        return 0;
    int shapeEvent = 0, shapeError = 0;
    if (!XShapeQueryExtension(im.dpy, &shapeEvent, &shapeError))
        return 0; // no way to let clicks through
    const int screen = DefaultScreen(im.dpy);
    im.root = RootWindow(im.dpy, screen);
    vChooseVisual(im, screen);

    CX11ErrorTrap trap(im.dpy);
    vCreateWindow(im);
    vWatchCompositor(im, screen);
    if (trap.nSync() != 0) {
        if (im.win)
            XDestroyWindow(im.dpy, im.win);
        if (im.colormap)
            XFreeColormap(im.dpy, im.colormap);
        im.win = 0;
        return 0;
    }
    SX11Overlay* pim = &im;
    im.upload = std::make_unique<CX11PictureUpload>(im.dpy, im.win, im.visual, im.nDepth,
        [pim](Pixmap content, const std::vector<XRectangle>* shape, int w, int h) { vTakeContent(*pim, content, shape, w, h); });
    im.nHandlerToken = CX11Display::nAddEventHandler([pim](XEvent& ev) { return bHandleEvent(*pim, ev); });
    nWin.store(im.win, std::memory_order_release);
    return im.win;
}

void CX11Overlay::vDestroy()
{
    if (!nWin.load())
        return;
    nWin.store(0, std::memory_order_release);
    CX11Display::vRemoveEventHandler(im.nHandlerToken);
    if (im.nXfixesEventBase >= 0)
        XFixesSelectSelectionInput(im.dpy, im.root, im.cmAtom, 0);
    im.watch.reset(); // joined before the window goes
    im.upload.reset();
    XDestroyWindow(im.dpy, im.win);
    XFreeColormap(im.dpy, im.colormap);
    XFlush(im.dpy);
    im = SX11Overlay{};
}

BOOL CX11Overlay::bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha)
{
    auto copy = std::make_shared<CBitmap32>();
    return copy->bCopyFrom(bitmap) && bUpdateShared(std::move(copy), nConstantAlpha);
}

BOOL CX11Overlay::bUpdateShared(std::shared_ptr<const CBitmap32> picture, std::uint8_t nConstantAlpha)
{
    if (!nWin.load())
        return FALSE;
    im.picture = std::move(picture);
    im.nAlpha = nConstantAlpha;
    return bApplyContent(im);
}

void CX11Overlay::vShow(BOOL bShow)
{
    im.bShown = bShow;
    vSyncMapping(im);
    XFlush(im.dpy);
}

void CX11Overlay::vKeepOnTop(BOOL bKeep)
{
    if (bKeep && !im.watch)
        im.watch = CX11StackingWatch::Create();
    else if (!bKeep)
        im.watch.reset();
    if (im.watch)
        im.watch->vKeep(im.bMapped ? im.win : 0);
}

void CX11Overlay::vMove(int x, int y)
{
    const Window win = nWin.load(std::memory_order_acquire);
    Display* dpy = CX11Display::ThreadDisplay();
    if (!win || !dpy)
        return;
    XMoveWindow(dpy, win, x, y);
    XFlush(dpy);
}
