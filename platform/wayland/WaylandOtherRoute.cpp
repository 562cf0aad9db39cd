// The route of a Wayland desktop where the pointer cannot be followed.
#include "platform/wayland/WaylandOtherRoute.h"

#include "platform/wayland/LayerShellOverlay.h"
#include "platform/wayland/PositionInputSource.h"

CWaylandOtherRoute::CWaylandOtherRoute(bool bLayerShellIn)
    : bLayerShell(bLayerShellIn)
{
}

BOOL CWaylandOtherRoute::bCanFollow(QString& strWhy) const
{
    strWhy = QStringLiteral("this Wayland compositor does not tell other programs where the pointer is");
    return FALSE;
}

std::unique_ptr<COverlayBackend> CWaylandOtherRoute::MakeOverlay()
{
    if (!bLayerShell)
        return nullptr;
    return std::make_unique<CLayerShellOverlay>();
}

std::unique_ptr<CInputSource> CWaylandOtherRoute::MakeInput(CInputDevice::Kind kind)
{
    if (kind != CInputDevice::KIND_MOUSE)
        return nullptr;
    return std::make_unique<CPositionInputSource>(stillQueue);
}

BOOL CWaylandOtherRoute::bRegisterHotKey(CWnd*, int id, UINT, UINT)
{
    if (bHotKey && nHotKeyId != id)
        return FALSE;
    bHotKey = true;
    nHotKeyId = id;
    return TRUE;
}

BOOL CWaylandOtherRoute::bUnregisterHotKey(CWnd*, int id)
{
    if (!bHotKey || nHotKeyId != id)
        return FALSE;
    bHotKey = false;
    return TRUE;
}

BOOL CWaylandOtherRoute::bCursorPos(int& x, int& y)
{
    x = y = 0;
    return FALSE;
}
