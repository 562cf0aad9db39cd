// The mouse on GNOME: the extension moves the picture inside the shell, so
// no motion crosses the bus and this source delivers no records; its reader
// sleeps until it is woken for the end.
#pragma once

#include "platform/InputSource.h"

class CGnomeInput : public CInputSource {
public:
    CGnomeInput();
    ~CGnomeInput() override;
    BOOL bValid() const { return nWakeFd >= 0; }

    CInputDevice::WaitResult nWait() override;
    BOOL bGetDeviceData(DIDEVICEOBJECTDATA&, bool) override { return FALSE; }
    void vWake() override;

private:
    int nWakeFd = -1;
};
