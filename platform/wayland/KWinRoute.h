// KDE Plasma on Wayland: the overlay on a layer-shell surface, the pointer
// position and the hotkey from Lumicue's KWin script, which calls back into
// an object served on a thread of the route's own.
#pragma once

#include "platform/DesktopRoute.h"
#include "platform/wayland/PositionQueue.h"

#include <QString>

#include <memory>

class CKWinCallbacks;
class CKWinScript;

class CKWinRoute : public CDesktopRoute {
public:
    // strScriptPath: the script shipped with the program.
    explicit CKWinRoute(const QString& strScriptPath);
    ~CKWinRoute() override; // vEnd

    EDesktopRoute Kind() const override { return EDesktopRoute::KWin; }
    BOOL bCanFollow(QString& strWhy) const override;
    std::unique_ptr<COverlayBackend> MakeOverlay() override;
    std::unique_ptr<CInputSource> MakeInput(CInputDevice::Kind kind) override;
    BOOL bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk) override;
    BOOL bUnregisterHotKey(CWnd* target, int id) override;
    BOOL bCursorPos(int& x, int& y) override;
    void vEnd() override;

private:
    // UI thread, once the toolkit runs: the callbacks' bus name and thread,
    // then the script. FALSE (and the reason kept) when any fails.
    BOOL bStarted();
    BOOL bLoadScript(const QString& strKeys);
    // UI thread: positions come from the follower script only while the
    // overlay is shown.
    void vFollow(bool bFollow);

    QString strScriptPath;
    QString strProblem;
    bool bTriedStart = false;
    bool bEnded = false;
    std::unique_ptr<CKWinCallbacks> pCallbacks;
    std::unique_ptr<CKWinScript> pScript;
    std::unique_ptr<CKWinScript> pFollower;
    CPositionQueue stillQueue; // the mouse when the script could not be run
    // The one registration the route holds.
    CWnd* hotKeyTarget = nullptr;
    int nHotKeyId = 0;
    bool bHotKey = false;
};
