// The way this session lets the program show and follow the pointer. X11
// sessions have one way; a Wayland session offers clients no global pointer
// or overlay of its own, so each compositor family needs its own route. The
// route is chosen once when the toolkit has started; the seams
// (CLayeredWindow, CInputDevice, hotkeys, the cursor position) forward to it.
#pragma once

#include "platform/InputSource.h"
#include "platform/OverlayBackend.h"

#include <QString>

#include <memory>

class CWnd;

enum class EDesktopRoute { X11, KWin, Gnome, WaylandOther };

// What start-up found out about the session.
struct SSessionFacts {
    bool bWaylandSession = false; // WAYLAND_DISPLAY set or XDG_SESSION_TYPE=wayland
    bool bKWin = false;           // org.kde.KWin owned on the session bus
    bool bGnomeShell = false;     // org.gnome.Shell owned on the session bus
    bool bLayerShell = false;     // the compositor offers zwlr_layer_shell_v1
};

// Only an X11 session gets the X11 overlay, since under XWayland it neither
// sees the pointer over native windows nor lets their clicks through.
inline EDesktopRoute ChooseRoute(const SSessionFacts& facts)
{
    if (!facts.bWaylandSession)
        return EDesktopRoute::X11;
    if (facts.bKWin && facts.bLayerShell)
        return EDesktopRoute::KWin;
    if (facts.bGnomeShell)
        return EDesktopRoute::Gnome;
    return EDesktopRoute::WaylandOther;
}

class CDesktopRoute {
public:
    virtual ~CDesktopRoute() = default;
    virtual EDesktopRoute Kind() const = 0;
    // FALSE, with the reason as one line for the user, when the pointer cannot
    // be followed here.
    virtual BOOL bCanFollow(QString& strWhy) const
    {
        (void)strWhy;
        return TRUE;
    }
    // Null when this route has no overlay or no such device.
    virtual std::unique_ptr<COverlayBackend> MakeOverlay() = 0;
    virtual std::unique_ptr<CInputSource> MakeInput(CInputDevice::Kind kind) = 0;
    virtual BOOL bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk) = 0;
    virtual BOOL bUnregisterHotKey(CWnd* target, int id) = 0;
    virtual BOOL bCursorPos(int& x, int& y) = 0;
    // UI thread, before the toolkit goes: what the route set up in the
    // session (scripts, connections) is taken down.
    virtual void vEnd() {}
};

// The session's route; null before the toolkit has started.
CDesktopRoute* CurrentRoute();
