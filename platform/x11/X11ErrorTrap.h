// X errors turned into results: a trap catches the errors of the calls made
// on this thread's connection while it lives. Untrapped errors are reported,
// never fatal (Xlib's default handler would end the process).
#pragma once

// Include after any Qt header: Xlib defines Bool, Status and None as macros.
#include <X11/Xlib.h>

// Traps X errors raised by the calls made while it lives, on this thread's
// connection: construct, make the calls, then ask nSync() for the first
// error code (0 when none). Restores the previous trap when destroyed.
class CX11ErrorTrap {
public:
    explicit CX11ErrorTrap(Display* dpy); // an open connection
    ~CX11ErrorTrap();
    CX11ErrorTrap(const CX11ErrorTrap&) = delete;
    CX11ErrorTrap& operator=(const CX11ErrorTrap&) = delete;

    // Waits for the server to answer every call so far; the first error code.
    int nSync();

private:
    friend int LumicueX11ErrorHandler(Display*, XErrorEvent*);
    Display* dpy;
    CX11ErrorTrap* pPrevious;
    int nErrorCode = 0;
};

// Installs the process-wide handlers once; every connection shares them. A
// lost connection ends the program (see vLeaveOnSessionLost), unless it is
// the calling thread's quiet one.
void X11InstallErrorHandler();
// Makes dpy the calling thread's quiet connection (null for none): losing it
// only marks it lost, so the thread can stop on its own.
void X11SetQuietConnection(Display* dpy);
// Whether the calling thread's quiet connection was lost.
bool X11QuietConnectionLost();
