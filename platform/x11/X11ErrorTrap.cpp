// The process-wide X error handlers and the per-thread traps they fill.
// Qt first (through the session seam): Xlib's macros break Qt's headers.
#include "platform/PlatformSession.h"

#include "platform/x11/X11ErrorTrap.h"

#include <cstdio>

namespace {
thread_local CX11ErrorTrap* t_trap = nullptr;
thread_local Display* t_quietDisplay = nullptr;
thread_local bool t_bQuietLost = false;

// A lost connection: a worker thread's own one only stops that thread (its
// wait reports the failure); any other, the UI thread's or the toolkit's,
// ends the program.
int LumicueX11IOErrorHandler(Display* dpy)
{
    if (dpy && dpy == t_quietDisplay) {
        t_bQuietLost = true;
        return 0;
    }
    vLeaveOnSessionLost();
}

// Xlib calls this after the handler returns; the default would exit().
void vQuietIOErrorExit(Display*, void*)
{
}
} // namespace

void X11SetQuietConnection(Display* dpy)
{
    t_quietDisplay = dpy;
    t_bQuietLost = false;
    if (dpy)
        XSetIOErrorExitHandler(dpy, vQuietIOErrorExit, nullptr);
}

bool X11QuietConnectionLost()
{
    return t_bQuietLost;
}

int LumicueX11ErrorHandler(Display* dpy, XErrorEvent* ev)
{
    if (t_trap && t_trap->dpy == dpy) {
        if (t_trap->nErrorCode == 0)
            t_trap->nErrorCode = ev->error_code;
        return 0;
    }
    std::fprintf(stderr, "lumicue: X error %d (request %d.%d)\n", ev->error_code, ev->request_code, ev->minor_code);
    return 0;
}

void X11InstallErrorHandler()
{
    // Set every time: the toolkit puts in its own when it connects (whose
    // I/O error handler calls exit()), and ours must win again after.
    XSetErrorHandler(LumicueX11ErrorHandler);
    XSetIOErrorHandler(LumicueX11IOErrorHandler);
}

CX11ErrorTrap::CX11ErrorTrap(Display* display) : dpy(display), pPrevious(t_trap)
{
    X11InstallErrorHandler();
    XSync(dpy, False); // errors of earlier calls are not ours
    t_trap = this;
}

CX11ErrorTrap::~CX11ErrorTrap()
{
    XSync(dpy, False);
    t_trap = pPrevious;
}

int CX11ErrorTrap::nSync()
{
    XSync(dpy, False);
    return nErrorCode;
}
