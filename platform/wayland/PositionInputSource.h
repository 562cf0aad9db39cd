// A mouse made of reported pointer positions (on KDE Plasma, those of
// Lumicue's KWin script): motion records only, no buttons. A queue nobody
// feeds makes a mouse that never moves, for a desktop that tells nothing.
#pragma once

#include "platform/InputSource.h"
#include "platform/wayland/PositionQueue.h"

class CPositionInputSource : public CInputSource {
public:
    explicit CPositionInputSource(CPositionQueue& queue)
        : positions(queue)
    {
    }

    CInputDevice::WaitResult nWait() override
    {
        return positions.bWaitForRecords() ? CInputDevice::WAIT_RECORDS : CInputDevice::WAIT_WOKEN;
    }
    // Records taken while not acquired are dropped, as a device buffers none then.
    BOOL bGetDeviceData(DIDEVICEOBJECTDATA& record, bool bAcquired) override
    {
        while (positions.bPop(record))
            if (bAcquired)
                return TRUE;
        return FALSE;
    }
    void vWake() override { positions.vWake(); }

private:
    CPositionQueue& positions;
};
