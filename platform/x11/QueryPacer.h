// Paces the mouse reader's cursor queries once the mouse outpaces them: at
// most one query per gap while motions stream in faster than a query's
// round trip. Those motions are held and read together when the gap ends, so
// a mouse that reports faster than the gap costs one timer wake-up, one
// query and one move per gap instead of a wake-up per motion. A gap that
// brings no motion ends the stream, and the reader waits on its connection
// again. A motion that comes alone is queried at once, however soon after
// the last one.
#pragma once

#include "platform/base/Win32.h"

#include <cstdint>

class CQueryPacer {
public:
    explicit constexpr CQueryPacer(std::int64_t gapNs) : nGapNs(gapNs) {}

    // Motions came while a query was on its way, or several in one read:
    // the mouse outpaces the queries, and they are paced from now on.
    void vOutpaced() { bStreaming = true; }

    // Whether queries are being paced; SleepNs() matters only then.
    BOOL bPacing() const { return bStreaming; }

    // Motions wait for a query: true when it may be sent now (a gap starts),
    // false when they are held until the gap ends.
    BOOL bMayQuery(std::int64_t nowNs)
    {
        if (bStreaming && nowNs < nNextNs)
            return false;
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
