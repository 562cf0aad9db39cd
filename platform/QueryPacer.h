// Paces the mouse reader's cursor queries: at most one per gap. Motions that
// come faster are held and read together when the gap ends, so a mouse that
// reports faster than the gap costs one timer wake-up, one query and one
// move per gap instead of a wake-up per motion. A gap that brings no motion
// ends the stream, and the reader waits on its connection again.
#pragma once

#include <cstdint>

class CQueryPacer {
public:
    explicit constexpr CQueryPacer(std::int64_t gapNs) : nGapNs(gapNs) {}

    // Motions wait for a query: true when it may be sent now (a gap starts),
    // false when they are held until the gap ends.
    bool bMayQuery(std::int64_t nowNs)
    {
        if (nowNs < nNextNs) {
            bStreaming = true;
            return false;
        }
        nNextNs = nowNs + nGapNs;
        return true;
    }

    // With no query in flight: how long to sleep, not woken by the
    // connection, before reading it again; 0 to read it now; -1 to wait on
    // it, since no stream is going on.
    std::int64_t SleepNs(std::int64_t nowNs, bool bMotionsHeld)
    {
        if (!bStreaming)
            return -1;
        if (nowNs < nNextNs)
            return nNextNs - nowNs;
        bStreaming = bMotionsHeld;
        return bStreaming ? 0 : -1;
    }

private:
    std::int64_t nGapNs;
    std::int64_t nNextNs = 0;
    bool bStreaming = false;
};
