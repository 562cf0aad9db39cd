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
    // A second thread that finds the loss meanwhile (the toolkit's event
    // reader, say) waits for the first to end the process, so that the
    // save under way is not cut off.
    if (g_bLeaving.exchange(true))
        for (;;)
            pause();
    if (SessionLostFn pfn = g_pfnLost.load())
        pfn();
    _exit(1);
}
