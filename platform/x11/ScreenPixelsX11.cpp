// Screen read-back for the gallery's shadow: the compositor's selection and
// XGetImage of the root window, on the UI thread's connection.
#include "platform/ScreenPixels.h"

#include "platform/image/Bitmap32.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"

#include <X11/Xresource.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

BOOL CScreenPixels::bComposited()
{
    Display* dpy = CX11Display::UiDisplay();
    if (!dpy)
        return FALSE;
    char name[32];
    std::snprintf(name, sizeof name, "_NET_WM_CM_S%d", DefaultScreen(dpy));
    return XGetSelectionOwner(dpy, XInternAtom(dpy, name, False)) != None ? TRUE : FALSE;
}

BOOL CScreenPixels::bRead(const RECT& rc, CBitmap32& out)
{
    Display* dpy = CX11Display::UiDisplay();
    if (!dpy || !out.bCreate(RectWidth(rc), RectHeight(rc)))
        return FALSE;
    std::fill(out.Bits(), out.Bits() + out.PixelCount(), 0xFF000000u);
    const int screen = DefaultScreen(dpy);
    const LONG left = std::max<LONG>(rc.left, 0), top = std::max<LONG>(rc.top, 0);
    const LONG right = std::min<LONG>(rc.right, DisplayWidth(dpy, screen));
    const LONG bottom = std::min<LONG>(rc.bottom, DisplayHeight(dpy, screen));
    if (right <= left || bottom <= top)
        return TRUE;
    CX11ErrorTrap trap(dpy);
    XImage* img = XGetImage(dpy, RootWindow(dpy, screen), left, top, right - left, bottom - top, AllPlanes, ZPixmap);
    trap.nSync();
    if (!img)
        return FALSE;
    for (LONG y = top; y < bottom; ++y)
        for (LONG x = left; x < right; ++x)
            out.SetPixel(x - rc.left, y - rc.top, 0xFF000000u | (XGetPixel(img, x - left, y - top) & 0x00FFFFFFu));
    XDestroyImage(img);
    return TRUE;
}

int CScreenPixels::nXftDpi()
{
    Display* dpy = CX11Display::UiDisplay();
    const char* resources = dpy ? XResourceManagerString(dpy) : nullptr;
    if (!resources)
        return 0;
    XrmInitialize();
    XrmDatabase db = XrmGetStringDatabase(resources);
    char* type = nullptr;
    XrmValue value{};
    int dpi = 0;
    if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        dpi = static_cast<int>(std::strtod(value.addr, nullptr));
    if (db)
        XrmDestroyDatabase(db);
    return dpi;
}
