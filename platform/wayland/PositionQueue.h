// Pointer positions as mouse records, from the thread that receives them to
// the mouse reader: a single-producer, single-consumer ring without locks,
// and an eventfd the reader sleeps on. A full ring drops records but never
// the last position: the reader is handed it once the ring runs dry.
#pragma once

#include "platform/base/Win32.h"
#include "platform/InputDevice.h"

#include <atomic>
#include <cstdint>

class CPositionQueue {
public:
    CPositionQueue();
    ~CPositionQueue();
    CPositionQueue(const CPositionQueue&) = delete;
    CPositionQueue& operator=(const CPositionQueue&) = delete;

    BOOL bValid() const { return nEventFd >= 0; }

    // Producer: a position in screen coordinates; one record per axis that
    // changed (none when neither did), then one wake of the reader, unless
    // the producer is the reader itself (bWake false).
    void vPush(int x, int y, DWORD dwTimeMs, bool bWake = true);
    // The last position pushed; FALSE before the first.
    BOOL bLast(int& x, int& y) const;

    // Consumer: the oldest record; FALSE when none is left.
    BOOL bPop(DIDEVICEOBJECTDATA& record);
    // Consumer: sleeps until records were pushed or vWake was called; TRUE
    // for records, FALSE for a wake (or a failed wait).
    BOOL bWaitForRecords();
    // Any thread: ends the consumer's current or next sleep.
    void vWake();

    // Consumer, for a wait of its own over more descriptors: the wake
    // descriptor, whether a wake was asked for (and taken), whether records
    // wait, and the wake descriptor emptied.
    int nWaitFd() const { return nEventFd; }
    BOOL bTakeWake() { return bWakeRequested.exchange(false); }
    BOOL bReady() const;
    void vClearSignal();

private:
    static constexpr unsigned nCapacity = 256; // a power of two
    void vSignal();
    BOOL bPushRecord(const DIDEVICEOBJECTDATA& record);

    DIDEVICEOBJECTDATA ring[nCapacity];
    std::atomic<unsigned> nHead{0}; // consumer's
    std::atomic<unsigned> nTail{0}; // producer's
    std::atomic<std::uint64_t> nLastPos{0};
    std::atomic<bool> bHasPos{false};
    std::atomic<bool> bOverflowed{false};
    std::atomic<bool> bWakeRequested{false};
    int nPrevX = 0, nPrevY = 0; // producer's
    bool bPrev = false;
    DWORD dwSequence = 0;
    int nEventFd = -1;
};
