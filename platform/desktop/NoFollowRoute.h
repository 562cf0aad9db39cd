// A Wayland session whose compositor tells no client where the pointer is
// (sway and the other wlroots compositors, weston): no overlay at all, since
// one that cannot follow would only cover what the user points at. Hotkeys
// are grabbed on XWayland, where they work while an X11 window has the focus;
// the desktop's own key binding to `lumicue --toggle` reaches the program
// from anywhere.
#pragma once

#include "platform/gnome/QuietInputSource.h"
#include "platform/x11/X11Route.h"

class CNoFollowRoute : public CX11Route {
public:
    explicit CNoFollowRoute(EDesktopRoute route) : kind(route) {}
    EDesktopRoute Kind() const override { return kind; }
    BOOL bCanFollow(QString& strWhy) const override;
    std::unique_ptr<COverlayBackend> MakeOverlay() override { return nullptr; }
    std::unique_ptr<CInputSource> MakeInput(CInputDevice::Kind) override
    {
        return std::make_unique<CQuietInputSource>();
    }

private:
    EDesktopRoute kind;
};
