// Deadline-bound waits on the benchmark's X connection.
#include "harness/XWait.h"

#include <cerrno>
#include <poll.h>

bool CXWait::bDrain(Display* dpy, const Predicate& match)
{
    bool matched = false;
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (match(ev))
            matched = true;
    }
    return matched;
}

bool CXWait::bUntil(Display* dpy, long long deadlineNs, const Predicate& match)
{
    for (;;) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (match(ev))
                return true;
        }
        const long long left = deadlineNs - NowNs();
        if (left <= 0)
            return false;
        pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        timespec ts = {static_cast<time_t>(left / 1000000000LL), static_cast<long>(left % 1000000000LL)};
        if (ppoll(&p, 1, &ts, nullptr) < 0 && errno != EINTR)
            return false;
    }
}
