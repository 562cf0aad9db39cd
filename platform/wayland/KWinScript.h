// Lumicue's script inside KWin, loaded and unloaded over KWin's D-Bus
// scripting interface under a name of ours, and the global shortcut it
// registers in KWin's shortcut service.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

class CKWinScript {
public:
    // The names KWin knows the scripts by, and the shortcut's action name.
    static constexpr char kScriptName[] = "lumicue";
    static constexpr char kFollowerName[] = "lumicue-follow";
    static constexpr char kShortcutAction[] = "lumicue-toggle";

    // bShortcut: the script registers the shortcut, which goes with it.
    CKWinScript(const QString& strPath, const QString& strName, bool bShortcut);

    // UI thread. Replaces a script of our name that an earlier run left
    // loaded (one that crashed, say) by ours, and starts it. The call
    // returns once KWin has run the script's body.
    BOOL bLoad();
    // UI thread. Unloads our script and forgets its shortcut, if it has one.
    // bStale: also when this run did not load it (one left by a run that crashed).
    void vUnload(bool bStale = false);
    BOOL bLoaded() const { return bIsLoaded; }

    // Whether KWin's shortcut service gave our action exactly this
    // combination (in the toolkit's text form): FALSE when it is taken.
    static BOOL bShortcutHolds(const QString& strKeys);

    // The connection these calls go out on, kept apart from the toolkit's
    // shared one; bBusReachable says whether it connected, vCloseBus ends it.
    static BOOL bBusReachable();
    static void vCloseBus();

private:
    static void vForgetShortcut();

    QString strPath;
    QString strName;
    bool bShortcutOwner;
    bool bIsLoaded = false;
};
