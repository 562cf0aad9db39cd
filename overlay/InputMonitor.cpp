// Reader threads and record dispatch of the input monitor.
#include "overlay/InputMonitor.h"

CInputMonitor::~CInputMonitor()
{
    vStop();
}

HRESULT CInputMonitor::hrCreateDevice(CInputDevice::Kind kind, std::unique_ptr<CInputDevice>& device,
    std::thread& thread, void (CInputMonitor::*proc)())
{
    device = CInputDevice::Create(kind);
    if (!device)
        return DIERR_DEVICENOTREG;
    thread = std::thread(proc, this);
    return S_OK;
}

HRESULT CInputMonitor::hrCreate(CWnd*, DWORD dwDevices)
{
    if (bCreated)
        return S_OK;
    bCreated = true;
    if (dwDevices & MONITOR_MOUSE) {
        HRESULT hr = hrCreateDevice(CInputDevice::KIND_MOUSE, pMouse, hMouseThread, &CInputMonitor::vMouseThreadProc);
        if (FAILED(hr))
            return hr;
    }
    if (dwDevices & MONITOR_KEYBOARD) {
        HRESULT hr = hrCreateDevice(CInputDevice::KIND_KEYBOARD, pKeyboard, hKeyboardThread,
            &CInputMonitor::vKeyboardThreadProc);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

BOOL CInputMonitor::bStart(CWnd* pWnd, DWORD dwDevices)
{
    if (FAILED(hrCreate(pWnd, dwDevices)))
        return FALSE;
    if (dwDevices & MONITOR_MOUSE) {
        if (!pMouse)
            return FALSE;
        pMouse->vAcquire();
    }
    if ((dwDevices & MONITOR_KEYBOARD) && pKeyboard)
        pKeyboard->vAcquire();
    return TRUE;
}

void CInputMonitor::vStop()
{
    if (pMouse)
        pMouse->vUnacquire();
    if (pKeyboard)
        pKeyboard->vUnacquire();
    // The threads must be out of their loops before the devices go.
    if (pMouse)
        pMouse->vWake();
    if (pKeyboard)
        pKeyboard->vWake();
    if (hMouseThread.joinable())
        hMouseThread.join();
    if (hKeyboardThread.joinable())
        hKeyboardThread.join();
    pMouse.reset();
    pKeyboard.reset();
    bCreated = false;
}

void CInputMonitor::vAddListener(CFunImplementBase* pListener)
{
    int n = nListeners.load(std::memory_order_relaxed);
    if (n >= nMaxListeners)
        return;
    listeners[n] = pListener;
    nListeners.store(n + 1, std::memory_order_release);
}

void CInputMonitor::vReaderLoop(CInputDevice& device, CInputMonitor* self, void (CInputMonitor::*reader)())
{
    device.vBindThread();
    for (;;) {
        CInputDevice::WaitResult r = device.nWait();
        if (r != CInputDevice::WAIT_RECORDS)
            break; // woken to quit, or the connection is gone
        (self->*reader)();
    }
    device.vUnbindThread();
}

void CInputMonitor::vMouseThreadProc()
{
    vReaderLoop(*pMouse, this, &CInputMonitor::vReadMouse);
}

void CInputMonitor::vKeyboardThreadProc()
{
    vReaderLoop(*pKeyboard, this, &CInputMonitor::vReadKeyboard);
}

void CInputMonitor::vReadMouse()
{
    DIDEVICEOBJECTDATA rec;
    while (pMouse && pMouse->bGetDeviceData(rec)) {
        const UINT nFlags = (rec.bCtrl ? MK_CONTROL : 0) | (rec.bShift ? MK_SHIFT : 0);
        const bool bDown = (rec.dwData & 0x80) != 0;
        // The length is read again before each call: a listener may be
        // added while we walk.
        for (int i = 0; i < nListeners.load(std::memory_order_acquire); ++i) {
            CFunImplementBase* l = listeners[i];
            switch (rec.dwOfs) {
            case DIMOFS_X:
            case DIMOFS_Y:
                l->vOnMouseMove(nFlags, rec.x, rec.y);
                break;
            case DIMOFS_BUTTON0:
                if (bDown)
                    l->vOnLButtonDown(nFlags | MK_LBUTTON, rec.x, rec.y);
                else
                    l->vOnLButtonUp(nFlags | MK_LBUTTON, rec.x, rec.y);
                break;
            case DIMOFS_BUTTON1:
                if (bDown)
                    l->vOnRButtonDown(nFlags | MK_RBUTTON, rec.x, rec.y);
                else
                    l->vOnRButtonUp(nFlags | MK_RBUTTON, rec.x, rec.y);
                break;
            default: // wheel, buttons 2 and 3
                break;
            }
        }
    }
}

void CInputMonitor::vReadKeyboard()
{
    DIDEVICEOBJECTDATA rec;
    while (pKeyboard && pKeyboard->bGetDeviceData(rec)) {
        for (int i = 0; i < nListeners.load(std::memory_order_acquire); ++i) {
            if (rec.dwData & 0x80)
                listeners[i]->vOnKeyDown(rec.dwOfs, rec.dwTimeStamp);
            else
                listeners[i]->vOnKeyUp(rec.dwOfs, rec.dwTimeStamp);
        }
    }
}
