// What Lumicue's KWin script calls back over D-Bus: pointer positions, the
// hotkey combination it should register, that it did, and the presses. The
// object lives in a thread of its own, so positions reach the mouse reader
// while the UI thread is busy.
#pragma once

#include "platform/Win32.h"
#include "platform/wayland/PositionQueue.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>

class CWnd;

// The bus name, object path and interface the script calls.
inline constexpr char kLumicueBusName[] = "example.lumicue.Lumicue";
inline constexpr char kKWinCallbackPath[] = "/KWin";
inline constexpr char kKWinCallbackInterface[] = "example.lumicue.KWin";

// The route's own connection to the session bus. The toolkit holds back
// calls to objects on its shared connection until the UI event loop runs,
// and the route must answer the script before that (while the hotkey is
// registered during start-up) and whatever the UI thread does.
QDBusConnection KWinBus();
void vCloseKWinBus();

class CKWinCallbacks : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "example.lumicue.KWin")

public:
    CKWinCallbacks() = default;

    CPositionQueue& Positions() { return positions; }

    // UI thread: the combination the next loaded script registers (its
    // toolkit text, empty for none) and where its presses go.
    void vSetHotKey(const QString& strKeys, CWnd* target, int id, UINT fsModifiers, UINT vk);
    // UI thread: the number of scripts that have reported their shortcut so
    // far; vWaitRegistered waits, until the deadline, for a later one.
    unsigned nRegisteredCount();
    bool bWaitRegistered(unsigned nAfter, int nTimeoutMs);

public Q_SLOTS:
    Q_SCRIPTABLE void PointerMoved(int x, int y);
    Q_SCRIPTABLE QString HotKeyWanted();
    Q_SCRIPTABLE void HotKeyRegistered(const QString& strKeys);
    Q_SCRIPTABLE void HotKeyPressed();

private:
    CPositionQueue positions;
    std::mutex lock;
    std::condition_variable registered;
    unsigned nRegistered = 0;
    QString strKeys;
    CWnd* target = nullptr;
    int nId = 0;
    UINT fsModifiers = 0;
    UINT vk = 0;
};
