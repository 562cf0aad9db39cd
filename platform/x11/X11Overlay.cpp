// The overlay's X window: override-redirect, 32-bit ARGB visual, empty input
// shape (clicks fall through), content held in a server-side background
// pixmap so a move never redraws. Without a compositor the alpha channel
// becomes a bounding shape instead of a black box.
#include "platform/x11/X11Overlay.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11StackingWatch.h"

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
    CBitmap32 picture; // the last picture, without the constant alpha
    std::uint8_t nAlpha = 255;
    bool bHasContent = false;
    bool bShown = false;
    bool bMapped = false;
    bool bKeepOnTop = false;
    std::unique_ptr<CX11StackingWatch> watch; // while kept on top
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

// An 8-bit channel placed under a visual's mask, scaled to the mask's width.
unsigned long ToMask(std::uint32_t c8, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long max = mask >> shift;
    return ((c8 * max + 127) / 255) << shift;
}

// The pixel value of an opaque 0xFFRRGGBB colour in the visual's own format.
unsigned long VisualPixel(const Visual* visual, std::uint32_t rgb)
{
    return ToMask((rgb >> 16) & 0xFF, visual->red_mask) | ToMask((rgb >> 8) & 0xFF, visual->green_mask)
        | ToMask(rgb & 0xFF, visual->blue_mask);
}

// Fills an image of any depth from a function of the pixel index. Whole
// words in host order for the common sizes, XPutPixel for the rest.
template <class PixelOf>
void vFillImage(XImage* image, int w, int h, PixelOf pixelOf)
{
    for (int y = 0; y < h; ++y) {
        char* row = image->data + static_cast<std::size_t>(y) * image->bytes_per_line;
        const std::size_t base = static_cast<std::size_t>(y) * w;
        switch (image->bits_per_pixel) {
        case 32:
            for (int x = 0; x < w; ++x)
                reinterpret_cast<std::uint32_t*>(row)[x] = static_cast<std::uint32_t>(pixelOf(base + x));
            break;
        case 16:
            for (int x = 0; x < w; ++x)
                reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(pixelOf(base + x));
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                reinterpret_cast<std::uint8_t*>(row)[x] = static_cast<std::uint8_t>(pixelOf(base + x));
            break;
        default:
            for (int x = 0; x < w; ++x)
                XPutPixel(image, x, y, pixelOf(base + x));
        }
    }
}

// A client-side image of the window's depth and visual, with its own memory.
XImage* CreateImage(SX11Overlay& im, int w, int h)
{
    XImage* image = XCreateImage(im.dpy, im.visual, im.nDepth, ZPixmap, 0, nullptr, w, h, 32, 0);
    if (!image)
        return nullptr;
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * h));
    if (!image->data) {
        XDestroyImage(image);
        return nullptr;
    }
    // Our words are in host order; Xlib swaps if the server differs.
    image->byte_order = bHostIsLittleEndian() ? LSBFirst : MSBFirst;
    return image;
}

// The bounding shape from a 1-bit mask of the pixels at or above half alpha:
// one image however ragged the edges (a rectangle list can outgrow a request).
void vShapeFromAlpha(SX11Overlay& im, const CBitmap32& pic)
{
    const int w = pic.Width(), h = pic.Height();
    const int stride = (w + 7) / 8;
    std::vector<char> bits(static_cast<std::size_t>(stride) * h, 0);
    if (im.nAlpha != 0)
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* row = pic.Row(y);
            char* out = bits.data() + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < w; ++x)
                if (CBitmap32::Alpha(row[x]) >= 128)
                    out[x / 8] = static_cast<char>(out[x / 8] | (1 << (x % 8)));
        }
    XImage* image = XCreateImage(im.dpy, im.visual, 1, XYBitmap, 0, bits.data(), w, h, 8, stride);
    if (!image)
        return;
    image->byte_order = LSBFirst;
    image->bitmap_bit_order = LSBFirst;
    Pixmap mask = XCreatePixmap(im.dpy, im.win, w, h, 1);
    XGCValues values{};
    values.foreground = 1;
    values.background = 0;
    GC gc = XCreateGC(im.dpy, mask, GCForeground | GCBackground, &values);
    XPutImage(im.dpy, mask, gc, image, 0, 0, 0, 0, w, h);
    image->data = nullptr; // the vector owns the bits
    XDestroyImage(image);
    XFreeGC(im.dpy, gc);
    XShapeCombineMask(im.dpy, im.win, ShapeBounding, 0, 0, mask, ShapeSet);
    XFreePixmap(im.dpy, mask);
}

void vSetAtomProperty(Display* dpy, Window win, const char* prop, const std::vector<const char*>& values)
{
    std::vector<Atom> atoms;
    for (const char* v : values)
        atoms.push_back(XInternAtom(dpy, v, False));
    XChangeProperty(dpy, win, XInternAtom(dpy, prop, False), XA_ATOM, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
}

bool bUploadContent(SX11Overlay& im)
{
    const CBitmap32& pic = im.picture;
    const int w = pic.Width(), h = pic.Height();
    const bool bBlend = im.bArgb && im.bComposited;

    XImage* image = CreateImage(im, w, h);
    if (!image)
        return false;
    const std::uint32_t* src = pic.Bits();
    if (bBlend)
        vFillImage(image, w, h, [&](std::size_t i) { return CBitmap32::ScalePixel(src[i], im.nAlpha); });
    else if (im.nDepth == 32) // ARGB visual, no compositor: opaque words
        vFillImage(image, w, h, [&](std::size_t i) { return Unpremultiplied(src[i]); });
    else
        vFillImage(image, w, h, [&](std::size_t i) { return VisualPixel(im.visual, Unpremultiplied(src[i])); });

    Pixmap pixmap = XCreatePixmap(im.dpy, im.win, w, h, im.nDepth);
    GC gc = XCreateGC(im.dpy, pixmap, 0, nullptr);
    XPutImage(im.dpy, pixmap, gc, image, 0, 0, 0, 0, w, h);
    XDestroyImage(image);
    XFreeGC(im.dpy, gc);

    // The window keeps its own reference to the background pixmap.
    XSetWindowBackgroundPixmap(im.dpy, im.win, pixmap);
    XFreePixmap(im.dpy, pixmap);
    XResizeWindow(im.dpy, im.win, w, h);
    XClearWindow(im.dpy, im.win);

    if (bBlend)
        XShapeCombineMask(im.dpy, im.win, ShapeBounding, 0, 0, None, ShapeSet);
    else
        vShapeFromAlpha(im, pic);
    return true;
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

// Re-makes the content for the current compositing state.
bool bApplyContent(SX11Overlay& im)
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

// A compositor that took the screen while the window was cut by its alpha
// shape may keep that outline until the window is configured again (and a
// still pointer never moves it): a size change there and back makes it read
// the outline anew.
void vMakeCompositorReadOutline(SX11Overlay& im)
{
    const int w = im.picture.Width(), h = im.picture.Height();
    XResizeWindow(im.dpy, im.win, w, h + 1);
    XResizeWindow(im.dpy, im.win, w, h);
    XFlush(im.dpy);
}

bool bCompositorRunning(SX11Overlay& im)
{
    return XGetSelectionOwner(im.dpy, im.cmAtom) != None;
}

bool bHandleEvent(SX11Overlay& im, XEvent& ev)
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
            if (im.bHasContent) {
                bApplyContent(im);
                if (bNow)
                    vMakeCompositorReadOutline(im);
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
    im.bComposited = im.bArgb && bCompositorRunning(im);
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
    XDestroyWindow(im.dpy, im.win);
    XFreeColormap(im.dpy, im.colormap);
    XFlush(im.dpy);
    im = SX11Overlay{};
}

BOOL CX11Overlay::bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha)
{
    if (!im.picture.bCopyFrom(bitmap))
        return FALSE;
    im.nAlpha = nConstantAlpha;
    CX11ErrorTrap trap(im.dpy);
    bool ok = bApplyContent(im);
    return ok && trap.nSync() == 0;
}

void CX11Overlay::vShow(BOOL bShow)
{
    im.bShown = bShow;
    vSyncMapping(im);
    XFlush(im.dpy);
}

void CX11Overlay::vKeepOnTop(BOOL bKeep)
{
    im.bKeepOnTop = bKeep;
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
