// The session-dependent seams, forwarded to the session's route. Before the
// route exists (no toolkit yet) they do nothing and say so.
#include "platform/CursorPos.h"
#include "platform/DesktopRoute.h"
#include "platform/HotKeyRegistrar.h"
#include "platform/InputSource.h"
#include "platform/LayeredWindow.h"
#include "platform/OverlayBackend.h"

struct CLayeredWindow::Impl {
    std::unique_ptr<COverlayBackend> backend;
};

CLayeredWindow::CLayeredWindow() : pImpl(std::make_unique<Impl>()) {}

CLayeredWindow::~CLayeredWindow()
{
    bDestroy();
}

BOOL CLayeredWindow::bCreate()
{
    if (bExists())
        return TRUE;
    CDesktopRoute* route = CurrentRoute();
    pImpl->backend = route ? route->MakeOverlay() : nullptr;
    const unsigned long id = pImpl->backend ? pImpl->backend->nCreate() : 0;
    if (!id) {
        pImpl->backend.reset();
        return FALSE;
    }
    nLastPos.store(Pack(0, 0));
    nWindowId.store(id, std::memory_order_release);
    return TRUE;
}

BOOL CLayeredWindow::bDestroy()
{
    if (!bExists())
        return FALSE;
    nWindowId.store(0, std::memory_order_release);
    pImpl->backend->vDestroy();
    pImpl->backend.reset();
    return TRUE;
}

BOOL CLayeredWindow::bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha)
{
    return bExists() ? pImpl->backend->bUpdate(bitmap, nConstantAlpha) : FALSE;
}

BOOL CLayeredWindow::bUpdateShared(std::shared_ptr<const CBitmap32> picture, std::uint8_t nConstantAlpha)
{
    return bExists() ? pImpl->backend->bUpdateShared(std::move(picture), nConstantAlpha) : FALSE;
}

void CLayeredWindow::vShow(BOOL bShow)
{
    if (bExists())
        pImpl->backend->vShow(bShow);
}

void CLayeredWindow::vKeepOnTop(BOOL bKeep)
{
    if (bExists())
        pImpl->backend->vKeepOnTop(bKeep);
}

void CLayeredWindow::vSetHotSpot(int x, int y)
{
    if (bExists())
        pImpl->backend->vSetHotSpot(x, y);
}

// The backend lives while the window exists, and the reader that moves it
// is stopped before the window is destroyed.
void CLayeredWindow::vPlatformMove(int x, int y)
{
    if (bExists())
        pImpl->backend->vMove(x, y);
}

struct CInputDevice::Impl {
    std::unique_ptr<CInputSource> source;
};

CInputDevice::CInputDevice(Kind k, std::unique_ptr<Impl> impl) : kind(k), pImpl(std::move(impl)) {}

std::unique_ptr<CInputDevice> CInputDevice::Create(Kind kind)
{
    CDesktopRoute* route = CurrentRoute();
    auto impl = std::make_unique<Impl>();
    impl->source = route ? route->MakeInput(kind) : nullptr;
    if (!impl->source)
        return nullptr;
    return std::unique_ptr<CInputDevice>(new CInputDevice(kind, std::move(impl)));
}

CInputDevice::~CInputDevice() = default;

void CInputDevice::vBindThread()
{
    pImpl->source->vBindThread();
}

void CInputDevice::vUnbindThread()
{
    pImpl->source->vUnbindThread();
}

CInputDevice::WaitResult CInputDevice::nWait()
{
    return pImpl->source->nWait(bAcquired);
}

BOOL CInputDevice::bGetDeviceData(DIDEVICEOBJECTDATA& record)
{
    return pImpl->source->bGetDeviceData(record);
}

void CInputDevice::vWake()
{
    pImpl->source->vWake();
}

BOOL RegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk)
{
    CDesktopRoute* route = CurrentRoute();
    return route ? route->bRegisterHotKey(target, id, fsModifiers, vk) : FALSE;
}

BOOL UnregisterHotKey(CWnd* target, int id)
{
    CDesktopRoute* route = CurrentRoute();
    return route ? route->bUnregisterHotKey(target, id) : FALSE;
}

BOOL CCursorPos::bGet(int& x, int& y)
{
    x = y = 0;
    CDesktopRoute* route = CurrentRoute();
    return route ? route->bCursorPos(x, y) : FALSE;
}
