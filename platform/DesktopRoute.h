// The desktop route: which way the program reaches the session's overlay,
// pointer position and hotkey, picked once at start-up.
#pragma once

#include "platform/InputDevice.h"
#include "platform/InputSource.h"
#include "platform/OverlayBackend.h"
#include "platform/Win32.h"

#include <QString>

#include <memory>

class CWnd;

enum class EDesktopRoute { X11, KWin, Gnome, WaylandOther };

// What start-up found out about the session; the choice itself is a pure function.
struct SSessionFacts {
    bool bWaylandSession = false; // WAYLAND_DISPLAY set or XDG_SESSION_TYPE=wayland
    bool bKWin = false;           // org.kde.KWin owned on the session bus
    bool bGnomeShell = false;     // org.gnome.Shell owned on the session bus
    bool bLayerShell = false;     // the compositor offers zwlr_layer_shell_v1
};
EDesktopRoute ChooseRoute(const SSessionFacts& facts);

// One route's provision of every session-dependent seam.
class CDesktopRoute {
public:
    virtual ~CDesktopRoute() = default;
    virtual EDesktopRoute Kind() const = 0;
    // FALSE with one line for the user when the pointer cannot be followed here.
    virtual BOOL bCanFollow(QString& strWhy) const { (void)strWhy; return TRUE; }
    virtual std::unique_ptr<COverlayBackend> MakeOverlay() = 0;              // null: no overlay on this route
    virtual std::unique_ptr<CInputSource> MakeInput(CInputDevice::Kind kind) = 0; // null: no such device
    virtual BOOL bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk) = 0;
    virtual BOOL bUnregisterHotKey(CWnd* target, int id) = 0;
    virtual BOOL bCursorPos(int& x, int& y) = 0;
    virtual void vEnd() {} // UI thread, before the toolkit goes: scripts unloaded, connections closed
};
CDesktopRoute* CurrentRoute(); // set once by bPrepareSession
