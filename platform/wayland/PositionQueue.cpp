// The position ring and its eventfd.
#include "platform/wayland/PositionQueue.h"

#include <cerrno>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

std::uint64_t Pack(int x, int y)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
}

} // namespace

CPositionQueue::CPositionQueue()
    : nEventFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

CPositionQueue::~CPositionQueue()
{
    if (nEventFd >= 0)
        close(nEventFd);
}

void CPositionQueue::vSignal()
{
    eventfd_write(nEventFd, 1);
}

BOOL CPositionQueue::bPushRecord(const DIDEVICEOBJECTDATA& record)
{
    const unsigned tail = nTail.load(std::memory_order_relaxed);
    if (tail - nHead.load(std::memory_order_acquire) >= nCapacity)
        return false;
    ring[tail % nCapacity] = record;
    nTail.store(tail + 1, std::memory_order_release);
    return true;
}

void CPositionQueue::vPush(int x, int y, DWORD dwTimeMs, bool bWake)
{
    nLastPos.store(Pack(x, y), std::memory_order_relaxed);
    bHasPos.store(true, std::memory_order_release);
    DIDEVICEOBJECTDATA r;
    r.x = x;
    r.y = y;
    r.dwTimeStamp = dwTimeMs;
    bool bAny = false, bLost = false;
    if (!bPrev || x != nPrevX) {
        r.dwOfs = DIMOFS_X;
        r.dwData = static_cast<DWORD>(bPrev ? x - nPrevX : 0);
        r.dwSequence = ++dwSequence;
        bLost |= !bPushRecord(r);
        bAny = true;
    }
    if (bPrev && y != nPrevY) {
        r.dwOfs = DIMOFS_Y;
        r.dwData = static_cast<DWORD>(y - nPrevY);
        r.dwSequence = ++dwSequence;
        bLost |= !bPushRecord(r);
        bAny = true;
    }
    nPrevX = x;
    nPrevY = y;
    bPrev = true;
    if (bLost)
        bOverflowed.store(true, std::memory_order_release);
    if (bAny && bWake)
        vSignal();
}

BOOL CPositionQueue::bLast(int& x, int& y) const
{
    if (!bHasPos.load(std::memory_order_acquire))
        return FALSE;
    const std::uint64_t v = nLastPos.load(std::memory_order_relaxed);
    x = static_cast<std::int32_t>(static_cast<std::uint32_t>(v >> 32));
    y = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return TRUE;
}

BOOL CPositionQueue::bPop(DIDEVICEOBJECTDATA& record)
{
    const unsigned head = nHead.load(std::memory_order_relaxed);
    if (head != nTail.load(std::memory_order_acquire)) {
        record = ring[head % nCapacity];
        nHead.store(head + 1, std::memory_order_release);
        return TRUE;
    }
    // Records were dropped: the position they would have ended at.
    if (bOverflowed.exchange(false, std::memory_order_acq_rel) && bLast(record.x, record.y)) {
        record.dwOfs = DIMOFS_X;
        record.dwData = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL CPositionQueue::bReady() const
{
    return nHead.load(std::memory_order_relaxed) != nTail.load(std::memory_order_acquire)
        || bOverflowed.load(std::memory_order_acquire);
}

void CPositionQueue::vClearSignal()
{
    std::uint64_t n;
    while (read(nEventFd, &n, sizeof n) < 0 && errno == EINTR) {
    }
}

BOOL CPositionQueue::bWaitForRecords()
{
    for (;;) {
        if (bTakeWake())
            return false;
        if (bReady())
            return true;
        pollfd pfd{nEventFd, POLLIN, 0};
        if (poll(&pfd, 1, -1) < 0 && errno != EINTR)
            return false;
        vClearSignal();
    }
}

void CPositionQueue::vWake()
{
    bWakeRequested.store(true);
    vSignal();
}
