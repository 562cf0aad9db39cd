// A worker thread's own X connection, and the eventfd that wakes the thread
// from its poll() on that connection.
#pragma once

// Include after any Qt header: Xlib defines Bool, Status and None as macros.
#include <X11/Xlib.h>

#include <chrono>
#include <memory>

class CX11WorkerConnection {
public:
    // Null when no X server answers or no eventfd can be made.
    static std::unique_ptr<CX11WorkerConnection> Open();
    ~CX11WorkerConnection(); // the thread is done with both by then
    CX11WorkerConnection(const CX11WorkerConnection&) = delete;
    CX11WorkerConnection& operator=(const CX11WorkerConnection&) = delete;

    // Any thread: makes the wake descriptor readable.
    void vWake();
    // The woken thread: empties the wake descriptor (never blocks).
    void vTakeWake();
    // The worker: sleeps until vWake() or the time is up, not woken by the
    // connection; 1 when woken, 0 when the time ran out, -1 when the wait
    // failed. The wake is left for vTakeWake().
    int nSleep(std::chrono::nanoseconds time) const;

    Display* const dpy;
    const int nWakeFd;

private:
    CX11WorkerConnection(Display* display, int wakeFd) : dpy(display), nWakeFd(wakeFd) {}
};
