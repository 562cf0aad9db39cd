// The process-wide X error handler and the per-thread traps it fills.
#include "platform/x11/X11ErrorTrap.h"

#include <cstdio>

namespace {
thread_local CX11ErrorTrap* t_trap = nullptr;
} // namespace

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
    static bool installed = false;
    if (!installed) {
        installed = true;
        XSetErrorHandler(LumicueX11ErrorHandler);
    }
}

CX11ErrorTrap::CX11ErrorTrap(Display* display) : dpy(display), pPrevious(t_trap)
{
    X11InstallErrorHandler();
    if (dpy)
        XSync(dpy, False); // errors of earlier calls are not ours
    t_trap = this;
}

CX11ErrorTrap::~CX11ErrorTrap()
{
    if (dpy)
        XSync(dpy, False);
    t_trap = pPrevious;
}

int CX11ErrorTrap::nSync()
{
    if (dpy)
        XSync(dpy, False);
    return nErrorCode;
}
