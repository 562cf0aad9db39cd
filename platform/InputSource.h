// One route's buffered mouse (or keyboard).
#pragma once

#include "platform/InputDevice.h"

class CInputSource {
public:
    virtual ~CInputSource() = default;
    virtual void vBindThread() {}                          // reader thread, first
    virtual void vUnbindThread() {}                        // reader thread, last
    virtual CInputDevice::WaitResult nWait() = 0;          // reader thread: sleep until records or a wake, no time-out
    virtual BOOL bGetDeviceData(DIDEVICEOBJECTDATA& record, bool bAcquired) = 0; // reader thread: oldest record
    virtual void vWake() = 0;                              // any thread
};
