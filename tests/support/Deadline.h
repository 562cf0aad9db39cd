// A point in time that bounded waits run against: every wait of the display
// tests takes one, so a missing event fails the test instead of hanging it.
#pragma once

#include <chrono>

class CDeadline {
public:
    explicit CDeadline(std::chrono::milliseconds span)
        : tEnd(std::chrono::steady_clock::now() + span) {}

    static CDeadline Seconds(int n) { return CDeadline(std::chrono::seconds(n)); }
    static CDeadline Millis(int n) { return CDeadline(std::chrono::milliseconds(n)); }

    bool bExpired() const { return std::chrono::steady_clock::now() >= tEnd; }

    // Milliseconds left, rounded up so that poll() never returns early and
    // spins on a zero time-out; 0 once expired.
    int nRemainingMs() const
    {
        auto left = tEnd - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return 0;
        auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        return ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(ms);
    }

private:
    std::chrono::steady_clock::time_point tEnd;
};
