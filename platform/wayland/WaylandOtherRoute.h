// A Wayland compositor that tells clients nothing about the pointer (sway
// and the other wlroots compositors, among others): the pointer cannot be
// followed, so it stays off; nothing of X11 is shown over native windows.
#pragma once

#include "platform/DesktopRoute.h"
#include "platform/wayland/PositionQueue.h"

class CWaylandOtherRoute : public CDesktopRoute {
public:
    // bLayerShell: the compositor offers the layer shell (an overlay could
    // be shown there, though never moved).
    explicit CWaylandOtherRoute(bool bLayerShell);

    EDesktopRoute Kind() const override { return EDesktopRoute::WaylandOther; }
    BOOL bCanFollow(QString& strWhy) const override;
    std::unique_ptr<COverlayBackend> MakeOverlay() override;
    // A mouse that never moves: the program runs as everywhere else.
    std::unique_ptr<CInputSource> MakeInput(CInputDevice::Kind kind) override;
    // No key can be grabbed here; the desktop's own key binding runs
    // "lumicue --toggle". The registration is kept, and its presses never come.
    BOOL bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk) override;
    BOOL bUnregisterHotKey(CWnd* target, int id) override;
    BOOL bCursorPos(int& x, int& y) override;

private:
    bool bLayerShell;
    CPositionQueue stillQueue;
    bool bHotKey = false;
    int nHotKeyId = 0;
};
