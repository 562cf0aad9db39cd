// Record-and-replay layered window: remembers what was asked of it.
#include "platform/LayeredWindow.h"
#include "platform/null/NullOverlay.h"

#include <mutex>

struct CLayeredWindow::Impl {
    std::mutex mutex;
    NullOverlay::LayeredLog log;
};

namespace {
std::atomic<bool> g_failCreate{false};
std::atomic<unsigned long> g_nextId{0x400001};
} // namespace

CLayeredWindow::CLayeredWindow() : pImpl(std::make_unique<Impl>()) {}

CLayeredWindow::~CLayeredWindow()
{
    bDestroy();
}

BOOL CLayeredWindow::bCreate()
{
    if (bExists())
        return TRUE;
    if (g_failCreate.load())
        return FALSE;
    {
        std::lock_guard lock(pImpl->mutex);
        ++pImpl->log.nCreates;
        pImpl->log.bShown = FALSE;
    }
    nLastPos.store(Pack(0, 0));
    nWindowId.store(g_nextId++, std::memory_order_release);
    return TRUE;
}

BOOL CLayeredWindow::bDestroy()
{
    if (!bExists())
        return FALSE;
    nWindowId.store(0, std::memory_order_release);
    std::lock_guard lock(pImpl->mutex);
    ++pImpl->log.nDestroys;
    pImpl->log.bShown = FALSE;
    return TRUE;
}

BOOL CLayeredWindow::bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha)
{
    if (!bExists())
        return FALSE;
    std::lock_guard lock(pImpl->mutex);
    auto& log = pImpl->log;
    ++log.nUpdates;
    log.nWidth = bitmap.Width();
    log.nHeight = bitmap.Height();
    log.nAlpha = nConstantAlpha;
    log.nTopLeft = bitmap.IsEmpty() ? 0 : CBitmap32::ScalePixel(bitmap.Pixel(0, 0), nConstantAlpha);
    return TRUE;
}

BOOL CLayeredWindow::bUpdateShared(std::shared_ptr<const CBitmap32> picture, std::uint8_t nConstantAlpha)
{
    const CBitmap32 none;
    return bUpdate(picture ? *picture : none, nConstantAlpha);
}

void CLayeredWindow::vShow(BOOL bShow)
{
    if (!bExists())
        return;
    std::lock_guard lock(pImpl->mutex);
    pImpl->log.bShown = bShow;
    pImpl->log.shows.push_back(bShow);
}

void CLayeredWindow::vKeepOnTop(BOOL bKeep)
{
    if (!bExists())
        return;
    std::lock_guard lock(pImpl->mutex);
    pImpl->log.bKeptOnTop = bKeep;
}

void CLayeredWindow::vSetHotSpot(int x, int y)
{
    if (!bExists())
        return;
    std::lock_guard lock(pImpl->mutex);
    pImpl->log.hotSpot = {x, y};
}

void CLayeredWindow::vPlatformMove(int x, int y)
{
    if (!bExists())
        return;
    std::lock_guard lock(pImpl->mutex);
    pImpl->log.moves.emplace_back(x, y);
}

namespace NullOverlay {

LayeredLog Log(const CLayeredWindow& wnd)
{
    std::lock_guard lock(wnd.GetImpl()->mutex);
    return wnd.GetImpl()->log;
}

void vClearLog(const CLayeredWindow& wnd)
{
    std::lock_guard lock(wnd.GetImpl()->mutex);
    auto& log = wnd.GetImpl()->log;
    log.shows.clear();
    log.moves.clear();
}

void vFailLayeredCreate(bool bFail)
{
    g_failCreate.store(bFail);
}

} // namespace NullOverlay
