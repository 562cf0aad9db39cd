// The seam for a buffered global mouse or keyboard, standing in for a
// DirectInput device in background, non-exclusive mode: records with the
// DirectInput offsets, taken one at a time on the device's reader thread.
#pragma once

#include "platform/base/Win32.h"

#include <atomic>
#include <memory>

// DirectInput mouse data format offsets.
constexpr DWORD DIMOFS_X = 0;
constexpr DWORD DIMOFS_Y = 4;
constexpr DWORD DIMOFS_Z = 8;
constexpr DWORD DIMOFS_BUTTON0 = 12;
constexpr DWORD DIMOFS_BUTTON1 = 13;
constexpr DWORD DIMOFS_BUTTON2 = 14;
constexpr DWORD DIMOFS_BUTTON3 = 15;

// One buffered record, with the state read when the event that produced it
// was taken from the system (cursor position, Ctrl and Shift held).
struct DIDEVICEOBJECTDATA {
    DWORD dwOfs = 0;
    DWORD dwData = 0;
    DWORD dwTimeStamp = 0;
    DWORD dwSequence = 0;
    int x = 0;
    int y = 0;
    BOOL bCtrl = FALSE;
    BOOL bShift = FALSE;
};

class CInputDevice {
public:
    enum Kind { KIND_MOUSE, KIND_KEYBOARD };
    enum WaitResult { WAIT_RECORDS = 0, WAIT_WOKEN = 1, WAIT_FAILED = -1 };

    // Opens the device; null when the system offers none (on X11: no
    // display or no XInput 2.2). Called on the UI thread.
    static std::unique_ptr<CInputDevice> Create(Kind kind);
    ~CInputDevice();
    CInputDevice(const CInputDevice&) = delete;
    CInputDevice& operator=(const CInputDevice&) = delete;

    Kind GetKind() const { return kind; }

    // Records are buffered only while acquired.
    void vAcquire() { bAcquired.store(true); }
    void vUnacquire() { bAcquired.store(false); }
    BOOL IsAcquired() const { return bAcquired.load(); }

    // Reader thread: first call binds the device's connection to the thread
    // (so window moves made from it use that connection); vUnbindThread last.
    void vBindThread();
    void vUnbindThread();
    // Reader thread: sleeps until records are buffered or a wake was posted.
    // No time-out.
    WaitResult nWait();
    // Reader thread: takes the oldest record; FALSE when none is buffered.
    BOOL bGetDeviceData(DIDEVICEOBJECTDATA& record);

    // Any thread: makes nWait return WAIT_WOKEN (the stand-in of WM_QUIT).
    void vWake();

    struct Impl; // backend state
    Impl* GetImpl() const { return pImpl.get(); }

private:
    CInputDevice(Kind kind, std::unique_ptr<Impl> impl);

    Kind kind;
    std::atomic<bool> bAcquired{false};
    std::unique_ptr<Impl> pImpl;
};
