// System clock by default, replaceable for tests.
#include "diag/LogClock.h"

namespace {

LogClockFn& Clock()
{
    static LogClockFn clock;
    return clock;
}

} // namespace

QDateTime LogClockNow()
{
    return Clock() ? Clock()() : QDateTime::currentDateTime();
}

void vSetLogClock(LogClockFn clock)
{
    Clock() = std::move(clock);
}
