// Turns X errors of the test's own connections into results: construct,
// make the calls, read nSync(). Outside a trap errors are printed, not fatal,
// so a window that vanished during a tree walk never ends the test process.
#pragma once

#include <X11/Xlib.h>

class CTestErrorTrap {
public:
    explicit CTestErrorTrap(Display* dpy);
    ~CTestErrorTrap();
    CTestErrorTrap(const CTestErrorTrap&) = delete;
    CTestErrorTrap& operator=(const CTestErrorTrap&) = delete;

    // Waits for the server's answers so far; the first error code, 0 if none.
    int nSync();

    // Installs the process-wide handler; called once per connection opened.
    static void vInstallHandler();

private:
    static int Handler(Display* dpy, XErrorEvent* error);
    static CTestErrorTrap* pActive;

    Display* dpy;
    CTestErrorTrap* pPrevious;
    int nError = 0;
};
