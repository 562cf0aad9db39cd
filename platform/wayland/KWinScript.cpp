// KWin's scripting and shortcut services, called with deadlines.
#include "platform/wayland/KWinScript.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QKeySequence>
#include <QStringList>

namespace {

constexpr int kCallTimeoutMs = 5000;
const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kAccel = QStringLiteral("org.kde.kglobalaccel");
// Shortcuts registered by scripts belong to KWin's own component.
const QString kAccelComponent = QStringLiteral("kwin");
const QString kBusConnectionName = QStringLiteral("lumicue-kwin");

QDBusConnection KWinBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, kBusConnectionName);
}

QDBusMessage Call(const QString& service, const QString& path, const QString& iface, const QString& method,
    const QVariantList& args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, iface, method);
    call.setArguments(args);
    return KWinBus().call(call, QDBus::Block, kCallTimeoutMs);
}

BOOL bReplied(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

} // namespace

BOOL CKWinScript::bBusReachable()
{
    return KWinBus().isConnected() ? TRUE : FALSE;
}

void CKWinScript::vCloseBus()
{
    QDBusConnection::disconnectFromBus(kBusConnectionName);
}

CKWinScript::CKWinScript(const QString& strPathIn, const QString& strNameIn, bool bShortcut)
    : strPath(strPathIn)
    , strName(strNameIn)
    , bShortcutOwner(bShortcut)
{
}

BOOL CKWinScript::bLoad()
{
    const QString& name = strName;
    const QString scripting = QStringLiteral("org.kde.kwin.Scripting");
    // A script of ours still loaded (from a run that crashed) would keep
    // calling, and hold the shortcut: it goes first.
    Call(kKWin, QStringLiteral("/Scripting"), scripting, QStringLiteral("unloadScript"), {name});
    if (bShortcutOwner)
        vForgetShortcut();
    bIsLoaded = false;
    const QDBusMessage loaded = Call(kKWin, QStringLiteral("/Scripting"), scripting, QStringLiteral("loadScript"),
        {strPath, name});
    if (!bReplied(loaded) || loaded.arguments().isEmpty())
        return FALSE;
    const int nId = loaded.arguments().constFirst().toInt();
    if (nId < 0)
        return FALSE;
    bIsLoaded = true;
    // Not waited for: KWin answers only once the script's body has run, and
    // the body calls us meanwhile.
    const QDBusMessage run = QDBusMessage::createMethodCall(kKWin, QStringLiteral("/%1").arg(nId),
        QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run"));
    return KWinBus().send(run) ? TRUE : FALSE;
}

void CKWinScript::vUnload(bool bStale)
{
    if (!bIsLoaded && !bStale)
        return;
    Call(kKWin, QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("unloadScript"),
        {strName});
    if (bShortcutOwner)
        vForgetShortcut();
    bIsLoaded = false;
}

// The shortcut service keeps a combination it once gave an action and hands
// it back to the next action of that name: the user's new choice would lose.
void CKWinScript::vForgetShortcut()
{
    Call(kAccel, QStringLiteral("/kglobalaccel"), QStringLiteral("org.kde.KGlobalAccel"), QStringLiteral("unregister"),
        {kAccelComponent, QString::fromLatin1(kShortcutAction)});
}

BOOL CKWinScript::bShortcutHolds(const QString& strKeys)
{
    const QKeySequence wanted(strKeys, QKeySequence::PortableText);
    if (wanted.isEmpty())
        return FALSE;
    const QStringList actionId{kAccelComponent, QString::fromLatin1(kShortcutAction), QString(), QString()};
    const QDBusMessage reply = Call(kAccel, QStringLiteral("/kglobalaccel"), QStringLiteral("org.kde.KGlobalAccel"),
        QStringLiteral("shortcut"), {actionId});
    if (!bReplied(reply) || reply.arguments().isEmpty())
        return FALSE;
    const QList<int> keys = qdbus_cast<QList<int>>(reply.arguments().constFirst());
    return keys.contains(wanted[0].toCombined()) ? TRUE : FALSE;
}
