// The one clock of the benchmark: CLOCK_MONOTONIC in nanoseconds.
#pragma once

#include <ctime>

inline long long NowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Sleeps until an absolute time on the same clock (pacing, not waiting for events).
inline void vSleepUntilNs(long long ns)
{
    timespec ts = {static_cast<time_t>(ns / 1000000000LL), static_cast<long>(ns % 1000000000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) != 0) {
    }
}
