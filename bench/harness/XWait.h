// Waiting for X events with a deadline: sleeps in ppoll() on the connection,
// never in a fixed sleep.
#pragma once

#include "harness/Clock.h"

#include <X11/Xlib.h>

#include <functional>

class CXWait {
public:
    using Predicate = std::function<bool(const XEvent&)>;
    // Reads events until one satisfies the predicate (true) or the deadline
    // (CLOCK_MONOTONIC ns) passes (false). Events read are consumed.
    static bool bUntil(Display* dpy, long long deadlineNs, const Predicate& match);
    // Handles what is already readable without blocking; true when one matched.
    static bool bDrain(Display* dpy, const Predicate& match);
};
