// The X connections of the process: one owned by the UI thread (events
// dispatched from Qt's event loop, never polled), and one per worker thread
// that registers its own. Also the trap that turns X errors into results.
#pragma once

// Include after any Qt header: Xlib defines Bool, Status and None as macros.

#include <X11/Xlib.h>

#include <functional>

class CX11Display {
public:
    // The UI thread's connection, opened on first use; null when no X server.
    static Display* UiDisplay();
    // The connection the calling thread registered, else the UI thread's.
    static Display* ThreadDisplay();
    // A worker thread names its own connection (null to forget it).
    static void vSetThreadDisplay(Display* dpy);

    // Handlers see every event read on the UI connection, in the order added;
    // a handler returns true when the event was its own. Returns a token.
    using EventHandler = std::function<bool(XEvent&)>;
    static int nAddEventHandler(EventHandler handler);
    static void vRemoveEventHandler(int token);

    // Reads and dispatches whatever the UI connection has queued.
    static void vDispatchPending();
    // Closes the UI connection (at exit, after every user is gone).
    static void vCloseUiDisplay();
};

// Traps X errors raised by the calls made while it lives, on this thread's
// connection: construct, make the calls, then ask nSync() for the first
// error code (0 when none). Restores the previous trap when destroyed.
class CX11ErrorTrap {
public:
    explicit CX11ErrorTrap(Display* dpy);
    ~CX11ErrorTrap();
    CX11ErrorTrap(const CX11ErrorTrap&) = delete;
    CX11ErrorTrap& operator=(const CX11ErrorTrap&) = delete;

    // Waits for the server to answer every call so far; the first error code.
    int nSync();
    int nError() const { return nErrorCode; }

private:
    friend int LumicueX11ErrorHandler(Display*, XErrorEvent*);
    Display* dpy;
    CX11ErrorTrap* pPrevious;
    int nErrorCode = 0;
};
