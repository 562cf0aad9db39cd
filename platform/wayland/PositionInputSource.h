// A mouse made of reported pointer positions (on KDE Plasma, those of
// Lumicue's KWin script): motion records only, no buttons. A queue nobody
// feeds makes a mouse that never moves.
#pragma once

#include "platform/InputSource.h"
#include "platform/wayland/KWinCallbacks.h"
#include "platform/wayland/PositionQueue.h"

class CPositionInputSource : public CInputSource {
public:
    // callbacks: the script's, whose positions the reader serves itself;
    // null for a queue that is fed by another thread or not at all.
    CPositionInputSource(CPositionQueue& queue, CKWinCallbacks* callbacks)
        : positions(queue)
        , pCallbacks(callbacks)
    {
    }

    // Records that came while not acquired are dropped, as a device buffers
    // none then; the reader then asks again, with the state of that time.
    CInputDevice::WaitResult nWait(const std::atomic<bool>& bAcquired) override
    {
        if (!(pCallbacks ? pCallbacks->bWaitForPositions() : positions.bWaitForRecords()))
            return CInputDevice::WAIT_WOKEN;
        if (!bAcquired) {
            DIDEVICEOBJECTDATA dropped;
            while (positions.bPop(dropped)) {
            }
        }
        return CInputDevice::WAIT_RECORDS;
    }
    BOOL bGetDeviceData(DIDEVICEOBJECTDATA& record) override { return positions.bPop(record); }
    void vWake() override { positions.vWake(); }

private:
    CPositionQueue& positions;
    CKWinCallbacks* pCallbacks;
};
