// Leaving the process when the window system is gone.
#include "platform/PlatformSession.h"

#include <atomic>
#include <unistd.h>

namespace {
std::atomic<SessionLostFn> g_pfnLost{nullptr};
std::atomic<bool> g_bLeaving{false};
} // namespace

void vSetSessionLostHandler(SessionLostFn pfn)
{
    g_pfnLost.store(pfn);
}

void vLeaveOnSessionLost()
{
    // A second thread that finds the loss meanwhile leaves at once: the
    // option file is replaced by rename, so a cut save never shows.
    if (!g_bLeaving.exchange(true))
        if (SessionLostFn pfn = g_pfnLost.load())
            pfn();
    _exit(1);
}
