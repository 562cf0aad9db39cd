// Cursor position from one XQueryPointer on the calling thread's connection.
#include "platform/x11/X11Route.h"
#include "platform/x11/X11Display.h"

BOOL CX11Route::bCursorPos(int& x, int& y)
{
    x = y = 0;
    Display* dpy = CX11Display::ThreadDisplay();
    if (!dpy)
        return FALSE;
    Window root, child;
    int wx, wy;
    unsigned int mask;
    return XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &x, &y, &wx, &wy, &mask) ? TRUE : FALSE;
}
