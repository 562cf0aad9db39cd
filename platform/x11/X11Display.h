// The X connections of the process: one owned by the UI thread (events
// dispatched from Qt's event loop, never polled), and one per worker thread
// that registers its own. Also the trap that turns X errors into results.
#pragma once

#include "platform/base/Win32.h"

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
    // Whether the token's handler is still in place (closing the
    // connection drops every handler).
    static BOOL bHasEventHandler(int token);

    // Closes the UI connection (at exit, after every user is gone).
    static void vCloseUiDisplay();

private:
    // Reads and dispatches whatever the UI connection has queued.
    static void vDispatchPending();
};
