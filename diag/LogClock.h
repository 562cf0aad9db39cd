// The local clock the log reads; tests put their own in its place so that
// day boundaries can be crossed on demand.
#pragma once

#include <QDateTime>

#include <functional>

using LogClockFn = std::function<QDateTime()>;

// The local date and time now, from the clock in force.
QDateTime LogClockNow();
// Replaces the clock; an empty function brings back the system clock.
void vSetLogClock(LogClockFn clock);
