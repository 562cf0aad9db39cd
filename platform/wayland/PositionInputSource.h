// A mouse made of reported pointer positions (on KDE Plasma, those of
// Lumicue's KWin script): motion records only, no buttons. A queue nobody
// feeds makes a mouse that never moves.
#pragma once

#include "platform/InputSource.h"
#include "platform/wayland/PositionQueue.h"

class CPositionInputSource : public CInputSource {
public:
    explicit CPositionInputSource(CPositionQueue& queue)
        : positions(queue)
    {
    }

    // Records that came while not acquired are dropped, as a device buffers
    // none then; the reader then asks again, with the state of that time.
    CInputDevice::WaitResult nWait(const std::atomic<bool>& bAcquired) override
    {
        if (!positions.bWaitForRecords())
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
};
