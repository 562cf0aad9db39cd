// The KWin route's start, hotkey and end.
#include "platform/wayland/KWinRoute.h"

#include "platform/ui/QtKeys.h"
#include "platform/wayland/KWinCallbacks.h"
#include "platform/wayland/KWinScript.h"
#include "platform/wayland/LayerShellOverlay.h"
#include "platform/wayland/PositionInputSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// How long the script may take to ask for and register the hotkey.
constexpr int kRegisterTimeoutMs = 5000;

} // namespace

CKWinRoute::CKWinRoute(const QString& strScriptPathIn)
    : strScriptPath(strScriptPathIn)
{
}

CKWinRoute::~CKWinRoute()
{
    vEnd();
}

BOOL CKWinRoute::bStarted()
{
    if (bTriedStart)
        return pScript && pScript->bLoaded();
    if (!QCoreApplication::instance() || bEnded)
        return FALSE;
    bTriedStart = true;
    if (!CKWinScript::bBusReachable()) {
        strProblem = QStringLiteral("the session bus cannot be reached");
        return FALSE;
    }
    pCallbacks = std::make_unique<CKWinCallbacks>();
    if (!pCallbacks->bStart(strProblem))
        return FALSE;
    pScript = std::make_unique<CKWinScript>(strScriptPath, QString::fromLatin1(CKWinScript::kScriptName), true);
    pFollower = std::make_unique<CKWinScript>(QFileInfo(strScriptPath).dir().filePath(QStringLiteral("lumicue-follow.js")),
        QString::fromLatin1(CKWinScript::kFollowerName), false);
    pFollower->vUnload(true);
    if (!bLoadScript(QString())) {
        strProblem = QStringLiteral("KWin did not run Lumicue's script %1").arg(strScriptPath);
        return FALSE;
    }
    return TRUE;
}

// (Re)loads the script with the hotkey it is to register, and waits until
// it says it did.
BOOL CKWinRoute::bLoadScript(const QString& strKeys)
{
    pCallbacks->vSetHotKey(strKeys, hotKeyTarget, nHotKeyId, 0, 0);
    const unsigned nBefore = pCallbacks->nRegisteredCount();
    if (!pScript->bLoad())
        return FALSE;
    return pCallbacks->bWaitRegistered(nBefore, kRegisterTimeoutMs) ? TRUE : FALSE;
}

BOOL CKWinRoute::bCanFollow(QString& strWhy) const
{
    if (!bTriedStart || (pScript && pScript->bLoaded()))
        return TRUE;
    strWhy = strProblem;
    return FALSE;
}

std::unique_ptr<COverlayBackend> CKWinRoute::MakeOverlay()
{
    auto overlay = std::make_unique<CLayerShellOverlay>();
    overlay->fnShown = [this](bool bShown) { vFollow(bShown); };
    return overlay;
}

void CKWinRoute::vFollow(bool bFollow)
{
    if (bEnded || !bStarted() || !pFollower || pFollower->bLoaded() == bFollow)
        return;
    if (bFollow)
        pFollower->bLoad(); // its first report is the position it starts at
    else
        pFollower->vUnload();
}

std::unique_ptr<CInputSource> CKWinRoute::MakeInput(CInputDevice::Kind kind)
{
    if (kind != CInputDevice::KIND_MOUSE)
        return nullptr;
    // Without the script the mouse stays still, and bCanFollow says why.
    if (!bStarted())
        return std::make_unique<CPositionInputSource>(stillQueue, nullptr);
    return std::make_unique<CPositionInputSource>(pCallbacks->Positions(), pCallbacks.get());
}

BOOL CKWinRoute::bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk)
{
    if (bHotKey && nHotKeyId != id)
        return FALSE; // one combination at a time, as the program uses
    const QString strKeys = KeySequenceText(fsModifiers, vk);
    if (strKeys.isEmpty() || !bStarted())
        return FALSE;
    hotKeyTarget = target;
    nHotKeyId = id;
    pCallbacks->vSetHotKey(strKeys, target, id, fsModifiers, vk);
    const unsigned nBefore = pCallbacks->nRegisteredCount();
    if (pScript->bLoad() && pCallbacks->bWaitRegistered(nBefore, kRegisterTimeoutMs)
        && CKWinScript::bShortcutHolds(strKeys)) {
        bHotKey = true;
        return TRUE;
    }
    // Taken by another shortcut, or not registered at all: the script goes
    // on without one, and the caller reports the conflict.
    bHotKey = false;
    hotKeyTarget = nullptr;
    bLoadScript(QString());
    return FALSE;
}

BOOL CKWinRoute::bUnregisterHotKey(CWnd* target, int id)
{
    if (!bHotKey || hotKeyTarget != target || nHotKeyId != id)
        return FALSE;
    bHotKey = false;
    hotKeyTarget = nullptr;
    if (pScript && pScript->bLoaded())
        bLoadScript(QString());
    return TRUE;
}

BOOL CKWinRoute::bCursorPos(int& x, int& y)
{
    x = y = 0;
    if (!bStarted())
        return FALSE;
    return pCallbacks->Positions().bLast(x, y);
}

void CKWinRoute::vEnd()
{
    if (bEnded)
        return;
    bEnded = true;
    if (pFollower)
        pFollower->vUnload();
    pFollower.reset();
    if (pScript)
        pScript->vUnload();
    pScript.reset();
    pCallbacks.reset(); // joins its thread after any call under way
    if (bTriedStart)
        CKWinScript::vCloseBus();
}
