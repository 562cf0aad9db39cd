// One desktop route's buffered mouse or keyboard, behind CInputDevice: the
// records of InputDevice.h, read on the device's reader thread.
#pragma once

#include "platform/InputDevice.h"

class CInputSource {
public:
    virtual ~CInputSource() = default;
    virtual void vBindThread() {}   // reader thread, first
    virtual void vUnbindThread() {} // reader thread, last
    // Reader thread: sleeps until records are buffered or a wake was posted.
    // The flag is read as events come: a device acquired while its reader
    // already sleeps buffers the next ones.
    virtual CInputDevice::WaitResult nWait(const std::atomic<bool>& bAcquired) = 0;
    // Reader thread: the oldest record; FALSE when none is buffered.
    virtual BOOL bGetDeviceData(DIDEVICEOBJECTDATA& record) = 0;
    virtual void vWake() = 0; // any thread
};
