// A device that never has records: where the session tells the program
// nothing of the mouse, the reader still runs and sleeps until it is woken
// for exit. The GNOME route's extension moves the picture itself; the routes
// that cannot follow use it too.
#pragma once

#include "platform/InputSource.h"

class CQuietInputSource : public CInputSource {
public:
    CQuietInputSource();
    ~CQuietInputSource() override;
    CInputDevice::WaitResult nWait(const std::atomic<bool>& bAcquired) override;
    BOOL bGetDeviceData(DIDEVICEOBJECTDATA&) override { return FALSE; }
    void vWake() override;

private:
    int nWakeFd = -1;
};
