// GNOME Shell's Wayland session: the program's own extension draws the
// picture and follows the pointer inside the shell, holds the hotkey and,
// without a notification area, shows the icon and its menu in the top bar.
// Without the extension the hotkey is grabbed on XWayland, where it works
// while an X11 window has the focus, so that it can say what is missing.
#pragma once

#include "platform/gnome/GnomeTray.h"
#include "platform/x11/X11Route.h"

#include <memory>

class CGnomeShellLink;

class CGnomeRoute : public CX11Route {
public:
    CGnomeRoute();
    ~CGnomeRoute() override;

    EDesktopRoute Kind() const override { return EDesktopRoute::Gnome; }
    BOOL bCanFollow(QString& strWhy) const override;
    std::unique_ptr<COverlayBackend> MakeOverlay() override;
    std::unique_ptr<CInputSource> MakeInput(CInputDevice::Kind kind) override;
    BOOL bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk) override;
    BOOL bUnregisterHotKey(CWnd* target, int id) override;
    BOOL bCursorPos(int& x, int& y) override;
    void vEnd() override;

private:
    // The reason bCanFollow gives when the extension does not answer.
    static QString WhyNoExtension();
    // Made on first use, once the toolkit runs.
    CGnomeShellLink* Link() const;

    mutable std::unique_ptr<CGnomeShellLink> pLink;
    CGnomeTray tray;
    CWnd* pHotKeyTarget = nullptr;
    int nHotKeyId = 0;
    UINT nHotKeyMods = 0;
    UINT nHotKeyVk = 0;
    BOOL bHotKeyGrabbed = FALSE; // on XWayland rather than in the shell
};

std::unique_ptr<CDesktopRoute> MakeGnomeRoute();
