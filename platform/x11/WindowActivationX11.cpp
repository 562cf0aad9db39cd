// _NET_ACTIVE_WINDOW on the toolkit's own connection, so that the window
// manager sees it after the toolkit's map request of the same window. The
// toolkit's activation waits for the window to be mapped and speaks for the
// application, which a window manager may refuse to a window minimised in
// the meantime; this request speaks for the user (source 2), whose action it
// carries out, and restores the window as well.
#include <QGuiApplication>

#include "platform/WindowActivation.h"

#include <X11/Xlib.h>

BOOL bRequestActivation(unsigned long nWindowId)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* dpy = x11 ? x11->display() : nullptr;
    if (!dpy || nWindowId == 0)
        return FALSE;
    const Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", True);
    if (active == None)
        return FALSE;  // no EWMH window manager has ever run here
    const long kSourceUser = 2;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = nWindowId;
    ev.xclient.message_type = active;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = kSourceUser;
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XFlush(dpy);
    return TRUE;
}
