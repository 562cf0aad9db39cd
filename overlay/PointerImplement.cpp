// The pointer function's slots. vOnMouseMove runs on the input monitor's
// mouse thread: atomics and one window move only, no allocation or lock.
#include "overlay/PointerImplement.h"

#include "overlay/PointerGeometry.h"
#include "platform/CursorPos.h"

CPointerImplement::CPointerImplement(const std::atomic<BOOL>& bOn) : bPointerOn(bOn)
{
    // A picture decoded after the switch has its own size and hot spot.
    wndPoint.fnPictureChanged = [this] {
        int x = 0, y = 0;
        if (bPointerOn.load() && CCursorPos::bGet(x, y))
            vOnMouseMove(0, x, y);
    };
}

BOOL CPointerImplement::bCreate()
{
    return wndPoint.Create() ? TRUE : FALSE;
}

BOOL CPointerImplement::bDestroy()
{
    return wndPoint.DestroyWindow();
}

void CPointerImplement::vUpdate()
{
    if (wndPoint.bHasWindow())
        vShowAtCursor();
}

BOOL CPointerImplement::bSwitch(BOOL /*bOn: the caller has just stored it in bPointerOn*/)
{
    if (!wndPoint.bHasWindow())
        return FALSE;
    vShowAtCursor();
    return TRUE;
}

void CPointerImplement::vShowAtCursor()
{
    if (!wndPoint.bHasWindow())
        return;
    if (!bPointerOn.load()) {
        wndPoint.ShowWindow(SW_HIDE);
        return;
    }
    wndPoint.bUpdateDisplay();
    int x = 0, y = 0;
    CCursorPos::bGet(x, y);
    vOnMouseMove(0, x, y);
    wndPoint.ShowWindow(SW_SHOW);
}

void CPointerImplement::vOnMouseMove(UINT, int x, int y)
{
    if (!wndPoint.bHasWindow() || !bPointerOn.load(std::memory_order_relaxed))
        return;
    auto at = PointerGeometry::Place(x, y, wndPoint.nImageWidth.load(std::memory_order_relaxed),
        wndPoint.nImageHeight.load(std::memory_order_relaxed), wndPoint.nHotSpot.load(std::memory_order_relaxed));
    wndPoint.vMoveTo(at.x, at.y);
}

// Buttons and keys are not this function's business.
void CPointerImplement::vOnLButtonDown(UINT, int, int) {}
void CPointerImplement::vOnLButtonUp(UINT, int, int) {}
void CPointerImplement::vOnRButtonDown(UINT, int, int) {}
void CPointerImplement::vOnRButtonUp(UINT, int, int) {}
void CPointerImplement::vOnKeyDown(UINT, DWORD) {}
void CPointerImplement::vOnKeyUp(UINT, DWORD) {}
