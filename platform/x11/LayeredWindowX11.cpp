// The overlay's X window: override-redirect, 32-bit ARGB visual, empty input
// shape (clicks fall through), content held in a server-side background
// pixmap so a move never redraws. Without a compositor the alpha channel
// becomes a bounding shape instead of a black box.
#include "platform/LayeredWindow.h"
#include "platform/x11/OverlayStacking.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

struct CLayeredWindow::Impl {
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
    CBitmap32 picture; // the last picture, without the constant alpha
    std::uint8_t nAlpha = 255;
    bool bHasContent = false;
    bool bShown = false;
    bool bMapped = false;
};

namespace {

bool bHostIsLittleEndian()
{
    const std::uint16_t probe = 1;
    return *reinterpret_cast<const std::uint8_t*>(&probe) == 1;
}

// Straight colour of a premultiplied pixel, opaque: what a screen without
// compositor can show of it.
std::uint32_t Unpremultiplied(std::uint32_t px)
{
    const std::uint32_t a = px >> 24;
    if (a == 0)
        return 0xFF000000u;
    auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return 0xFF000000u | (un((px >> 16) & 0xFF) << 16) | (un((px >> 8) & 0xFF) << 8) | un(px & 0xFF);
}

// Row runs of pixels at or above half alpha, as a banded rectangle list.
std::vector<XRectangle> OpaqueRuns(const CBitmap32& bmp)
{
    std::vector<XRectangle> rects;
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::uint32_t* row = bmp.Row(y);
        int x = 0;
        while (x < bmp.Width()) {
            while (x < bmp.Width() && CBitmap32::Alpha(row[x]) < 128)
                ++x;
            int start = x;
            while (x < bmp.Width() && CBitmap32::Alpha(row[x]) >= 128)
                ++x;
            if (x > start)
                rects.push_back({static_cast<short>(start), static_cast<short>(y), static_cast<unsigned short>(x - start), 1});
        }
    }
    return rects;
}

void vSetAtomProperty(Display* dpy, Window win, const char* prop, const std::vector<const char*>& values)
{
    std::vector<Atom> atoms;
    for (const char* v : values)
        atoms.push_back(XInternAtom(dpy, v, False));
    XChangeProperty(dpy, win, XInternAtom(dpy, prop, False), XA_ATOM, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
}

bool bUploadContent(CLayeredWindow::Impl& im)
{
    const CBitmap32& pic = im.picture;
    const int w = pic.Width(), h = pic.Height();
    const bool bBlend = im.bArgb && im.bComposited;

    auto* pixels = static_cast<std::uint32_t*>(std::malloc(pic.PixelCount() * 4));
    if (!pixels)
        return false;
    for (std::size_t i = 0; i < pic.PixelCount(); ++i)
        pixels[i] = bBlend ? CBitmap32::ScalePixel(pic.Bits()[i], im.nAlpha) : Unpremultiplied(pic.Bits()[i]);

    Pixmap pixmap = XCreatePixmap(im.dpy, im.win, w, h, im.nDepth);
    GC gc = XCreateGC(im.dpy, pixmap, 0, nullptr);
    XImage* image = XCreateImage(im.dpy, im.visual, im.nDepth, ZPixmap, 0, reinterpret_cast<char*>(pixels), w, h, 32, w * 4);
    if (!image) {
        XFreeGC(im.dpy, gc);
        XFreePixmap(im.dpy, pixmap);
        std::free(pixels);
        return false;
    }
    // Our words are in host order; Xlib swaps if the server differs.
    image->byte_order = bHostIsLittleEndian() ? LSBFirst : MSBFirst;
    XPutImage(im.dpy, pixmap, gc, image, 0, 0, 0, 0, w, h);
    image->data = nullptr;
    XDestroyImage(image);
    std::free(pixels);
    XFreeGC(im.dpy, gc);

    // The window keeps its own reference to the background pixmap.
    XSetWindowBackgroundPixmap(im.dpy, im.win, pixmap);
    XFreePixmap(im.dpy, pixmap);
    XResizeWindow(im.dpy, im.win, w, h);
    XClearWindow(im.dpy, im.win);

    if (bBlend) {
        XShapeCombineMask(im.dpy, im.win, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
        std::vector<XRectangle> rects;
        if (im.nAlpha != 0)
            rects = OpaqueRuns(pic);
        XShapeCombineRectangles(im.dpy, im.win, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
            ShapeSet, YXBanded);
    }
    return true;
}

void vSyncMapping(CLayeredWindow::Impl& im)
{
    const bool bWant = im.bShown && im.bHasContent;
    if (bWant && !im.bMapped)
        XMapRaised(im.dpy, im.win);
    else if (!bWant && im.bMapped)
        XUnmapWindow(im.dpy, im.win);
    im.bMapped = bWant;
    X11SetOverlayToKeepOnTop(bWant ? im.win : 0);
}

// Re-makes the content for the current compositing state.
bool bApplyContent(CLayeredWindow::Impl& im)
{
    bool ok = true;
    if (im.picture.IsEmpty())
        im.bHasContent = false;
    else
        im.bHasContent = ok = bUploadContent(im);
    vSyncMapping(im);
    XFlush(im.dpy);
    return ok;
}

bool bCompositorRunning(CLayeredWindow::Impl& im)
{
    return XGetSelectionOwner(im.dpy, im.cmAtom) != None;
}

// Another top-level mapped, or restacked right above us: go back on top.
bool bCoversUs(const XEvent& ev, Window win)
{
    switch (ev.type) {
    case MapNotify:
        return ev.xmap.window != win;
    case ConfigureNotify:
        return ev.xconfigure.window != win && ev.xconfigure.above == win;
    case CirculateNotify:
        return ev.xcirculate.window != win && ev.xcirculate.place == PlaceOnTop;
    default:
        return false;
    }
}

bool bHandleEvent(CLayeredWindow::Impl& im, XEvent& ev)
{
    if (!im.win)
        return false;
    if (im.nXfixesEventBase >= 0 && ev.type == im.nXfixesEventBase + XFixesSelectionNotify) {
        auto& sel = reinterpret_cast<XFixesSelectionNotifyEvent&>(ev);
        if (sel.selection != im.cmAtom)
            return false;
        bool bNow = im.bArgb && sel.owner != None;
        if (bNow != im.bComposited) {
            im.bComposited = bNow;
            if (im.bHasContent)
                bApplyContent(im);
        }
        return true;
    }
    return false;
}

std::atomic<Window> g_overlayOnTop{0};

} // namespace

CLayeredWindow::CLayeredWindow() : pImpl(std::make_unique<Impl>()) {}

CLayeredWindow::~CLayeredWindow()
{
    bDestroy();
}

namespace {

// A 32-bit visual lets a compositor blend the picture; else the default one.
void vChooseVisual(CLayeredWindow::Impl& im, int screen)
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
void vCreateWindow(CLayeredWindow::Impl& im)
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
void vWatchCompositor(CLayeredWindow::Impl& im, int screen)
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
    im.bComposited = im.bArgb && bCompositorRunning(im);
}

} // namespace

BOOL CLayeredWindow::bCreate()
{
    if (bExists())
        return TRUE;
    Impl& im = *pImpl;
    im = Impl{};
    im.dpy = CX11Display::UiDisplay();
    if (!im.dpy)
        return FALSE;
    int shapeEvent = 0, shapeError = 0;
    if (!XShapeQueryExtension(im.dpy, &shapeEvent, &shapeError))
        return FALSE; // no way to let clicks through
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
        return FALSE;
    }
    Impl* pim = pImpl.get();
    im.nHandlerToken = CX11Display::nAddEventHandler([pim](XEvent& ev) { return bHandleEvent(*pim, ev); });
    nLastPos.store(Pack(0, 0));
    nWindowId.store(im.win, std::memory_order_release);
    return TRUE;
}

BOOL CLayeredWindow::bDestroy()
{
    if (!bExists())
        return FALSE;
    Impl& im = *pImpl;
    nWindowId.store(0, std::memory_order_release);
    CX11Display::vRemoveEventHandler(im.nHandlerToken);
    if (im.nXfixesEventBase >= 0)
        XFixesSelectSelectionInput(im.dpy, im.root, im.cmAtom, 0);
    X11SetOverlayToKeepOnTop(0);
    XDestroyWindow(im.dpy, im.win);
    XFreeColormap(im.dpy, im.colormap);
    XFlush(im.dpy);
    im = Impl{};
    return TRUE;
}

BOOL CLayeredWindow::bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha)
{
    if (!bExists())
        return FALSE;
    Impl& im = *pImpl;
    if (!im.picture.bCopyFrom(bitmap))
        return FALSE;
    im.nAlpha = nConstantAlpha;
    CX11ErrorTrap trap(im.dpy);
    bool ok = bApplyContent(im);
    return ok && trap.nSync() == 0;
}

void CLayeredWindow::vShow(BOOL bShow)
{
    if (!bExists())
        return;
    Impl& im = *pImpl;
    im.bShown = bShow;
    vSyncMapping(im);
    XFlush(im.dpy);
}

void CLayeredWindow::vPlatformMove(int x, int y)
{
    const Window win = nWindowId.load(std::memory_order_acquire);
    Display* dpy = CX11Display::ThreadDisplay();
    if (!win || !dpy)
        return;
    XMoveWindow(dpy, win, x, y);
    XFlush(dpy);
}

void X11SetOverlayToKeepOnTop(Window win)
{
    g_overlayOnTop.store(win, std::memory_order_release);
}

void X11KeepOverlayOnTop(Display* dpy, const XEvent& ev)
{
    const Window win = g_overlayOnTop.load(std::memory_order_acquire);
    if (win && bCoversUs(ev, win)) {
        XRaiseWindow(dpy, win);
        XFlush(dpy);
    }
}
