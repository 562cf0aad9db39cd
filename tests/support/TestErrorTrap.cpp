// The X error handler of the display tests.
#include "TestErrorTrap.h"

#include <cstdio>

CTestErrorTrap* CTestErrorTrap::pActive = nullptr;

CTestErrorTrap::CTestErrorTrap(Display* d) : dpy(d), pPrevious(pActive)
{
    XSync(dpy, False);  // errors of earlier calls are not this trap's
    pActive = this;
}

CTestErrorTrap::~CTestErrorTrap()
{
    XSync(dpy, False);
    pActive = pPrevious;
}

int CTestErrorTrap::nSync()
{
    XSync(dpy, False);
    return nError;
}

void CTestErrorTrap::vInstallHandler()
{
    XSetErrorHandler(&CTestErrorTrap::Handler);
}

int CTestErrorTrap::Handler(Display* dpy, XErrorEvent* error)
{
    if (pActive && pActive->dpy == dpy) {
        if (pActive->nError == 0)
            pActive->nError = error->error_code;
        return 0;
    }
    char text[128] = {};
    XGetErrorText(dpy, error->error_code, text, sizeof text);
    fprintf(stderr, "X error outside a trap: %s (request %d.%d, resource 0x%lx)\n", text,
            error->request_code, error->minor_code, error->resourceid);
    return 0;
}
