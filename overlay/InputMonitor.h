// Watches the system mouse (and, when asked, the keyboard) wherever the
// cursor is, and hands every relevant event to its listeners from one reader
// thread per device.
#pragma once

#include "overlay/FunImplementBase.h"
#include "platform/InputDevice.h"

#include <atomic>
#include <memory>
#include <thread>

class CWnd;

constexpr DWORD MONITOR_MOUSE = 1;
constexpr DWORD MONITOR_KEYBOARD = 2;

class CInputMonitor {
public:
    // Listeners beyond this many are refused; the program adds one.
    static constexpr int nMaxListeners = 16;

    CInputMonitor() = default;
    ~CInputMonitor();
    CInputMonitor(const CInputMonitor&) = delete;
    CInputMonitor& operator=(const CInputMonitor&) = delete;

    // Opens the devices named by dwDevices and starts their reader threads;
    // S_OK at once when already created. UI thread.
    HRESULT hrCreate(CWnd* pWnd, DWORD dwDevices);
    // hrCreate, then acquires the devices. FALSE when the mouse was asked
    // for and cannot be had.
    BOOL bStart(CWnd* pWnd, DWORD dwDevices);
    // Wakes and joins the reader threads, then releases the devices. Any
    // number of calls.
    void vStop();
    // Appends a listener (not owned); beyond nMaxListeners it is ignored.
    // Safe while a reader walks the list.
    void vAddListener(CFunImplementBase* pListener);

    // Reader side, public so tests and the thread procedures share them.
    void vReadMouse();
    void vReadKeyboard();

private:
    void vMouseThreadProc();
    void vKeyboardThreadProc();
    static void vReaderLoop(CInputDevice& device, CInputMonitor* self, void (CInputMonitor::*reader)());
    HRESULT hrCreateDevice(CInputDevice::Kind kind, std::unique_ptr<CInputDevice>& device, std::thread& thread,
        void (CInputMonitor::*proc)());

    std::unique_ptr<CInputDevice> pKeyboard;
    std::unique_ptr<CInputDevice> pMouse;
    std::thread hMouseThread;
    std::thread hKeyboardThread;
    // Slots are written before the count is published, so a reader that
    // sees the count sees the listener.
    CFunImplementBase* listeners[nMaxListeners] = {};
    std::atomic<int> nListeners{0};
    bool bCreated = false; // stands for the DirectInput object
};
