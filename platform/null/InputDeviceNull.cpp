// Input devices fed by tests: records are queued by bFeed from the test
// thread and taken by the monitor's reader thread.
#include "platform/InputDevice.h"
#include "platform/null/NullOverlay.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

struct CInputDevice::Impl {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<DIDEVICEOBJECTDATA> queue;
    bool bWake = false;
    DWORD dwSequence = 0;
};

namespace {

struct Registry {
    std::mutex mutex;
    std::condition_variable drained;
    bool bFail[2] = {false, false};
    int nCreated[2] = {0, 0};
    int nBound[2] = {0, 0};
    std::vector<CInputDevice*> live;
};

Registry& Reg()
{
    static Registry reg;
    return reg;
}

} // namespace

CInputDevice::CInputDevice(Kind k, std::unique_ptr<Impl> impl) : kind(k), pImpl(std::move(impl)) {}

std::unique_ptr<CInputDevice> CInputDevice::Create(Kind kind)
{
    auto& reg = Reg();
    std::lock_guard lock(reg.mutex);
    if (reg.bFail[kind])
        return nullptr;
    std::unique_ptr<CInputDevice> dev(new CInputDevice(kind, std::make_unique<Impl>()));
    ++reg.nCreated[kind];
    reg.live.push_back(dev.get());
    return dev;
}

CInputDevice::~CInputDevice()
{
    auto& reg = Reg();
    std::lock_guard lock(reg.mutex);
    std::erase(reg.live, this);
}

void CInputDevice::vBindThread()
{
    auto& reg = Reg();
    std::lock_guard lock(reg.mutex);
    ++reg.nBound[kind];
}

void CInputDevice::vUnbindThread() {}

CInputDevice::WaitResult CInputDevice::nWait()
{
    std::unique_lock lock(pImpl->mutex);
    pImpl->cv.wait(lock, [&] { return pImpl->bWake || !pImpl->queue.empty(); });
    if (pImpl->bWake) {
        pImpl->bWake = false;
        return WAIT_WOKEN;
    }
    return WAIT_RECORDS;
}

BOOL CInputDevice::bGetDeviceData(DIDEVICEOBJECTDATA& record)
{
    std::unique_lock lock(pImpl->mutex);
    if (pImpl->queue.empty()) {
        lock.unlock();
        // Tell waiting tests the reader has taken everything.
        std::lock_guard regLock(Reg().mutex);
        Reg().drained.notify_all();
        return FALSE;
    }
    record = pImpl->queue.front();
    pImpl->queue.pop_front();
    return TRUE;
}

void CInputDevice::vWake()
{
    std::lock_guard lock(pImpl->mutex);
    pImpl->bWake = true;
    pImpl->cv.notify_all();
}

namespace NullOverlay {

void vFailDeviceCreate(CInputDevice::Kind kind, bool bFail)
{
    std::lock_guard lock(Reg().mutex);
    Reg().bFail[kind] = bFail;
}

int nDevicesCreated(CInputDevice::Kind kind)
{
    std::lock_guard lock(Reg().mutex);
    return Reg().nCreated[kind];
}

int nThreadsBound(CInputDevice::Kind kind)
{
    std::lock_guard lock(Reg().mutex);
    return Reg().nBound[kind];
}

int nLiveDevices(CInputDevice::Kind kind)
{
    std::lock_guard lock(Reg().mutex);
    int n = 0;
    for (auto* dev : Reg().live)
        n += dev->GetKind() == kind;
    return n;
}

BOOL bFeed(CInputDevice::Kind kind, const DIDEVICEOBJECTDATA& record)
{
    std::lock_guard lock(Reg().mutex);
    for (auto it = Reg().live.rbegin(); it != Reg().live.rend(); ++it) {
        CInputDevice* dev = *it;
        if (dev->GetKind() != kind)
            continue;
        if (!dev->IsAcquired())
            return FALSE;
        auto* impl = dev->GetImpl();
        std::lock_guard devLock(impl->mutex);
        DIDEVICEOBJECTDATA r = record;
        r.dwSequence = ++impl->dwSequence;
        impl->queue.push_back(r);
        impl->cv.notify_all();
        return TRUE;
    }
    return FALSE;
}

BOOL bWaitDrained(CInputDevice::Kind kind, int nMillis)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMillis);
    std::unique_lock lock(Reg().mutex);
    return Reg().drained.wait_until(lock, deadline, [&] {
        for (auto* dev : Reg().live) {
            if (dev->GetKind() != kind)
                continue;
            std::lock_guard devLock(dev->GetImpl()->mutex);
            if (!dev->GetImpl()->queue.empty())
                return false;
        }
        return true;
    });
}

} // namespace NullOverlay
