// The mouse (or keyboard) on X11: XInput2 raw events on a connection of the
// reader thread's own.
#pragma once

#include "platform/InputSource.h"

#include <memory>

struct SX11Input;

class CX11InputSource : public CInputSource {
public:
    // Null when there is no display or no XInput 2.1.
    static std::unique_ptr<CInputSource> Create(CInputDevice::Kind kind);
    ~CX11InputSource() override;
    void vBindThread() override;
    void vUnbindThread() override;
    CInputDevice::WaitResult nWait(const std::atomic<bool>& bAcquired) override;
    BOOL bGetDeviceData(DIDEVICEOBJECTDATA& record) override;
    void vWake() override;

private:
    CX11InputSource(CInputDevice::Kind kind, std::unique_ptr<SX11Input> impl);

    CInputDevice::Kind kind;
    std::unique_ptr<SX11Input> pImpl;
};
