// Calls to the extension are synchronous with a short deadline: each one is
// a user's action (a switch, a menu), never a pointer motion.
#include "platform/gnome/GnomeShellLink.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>

// A menu item as it travels: (usb).
struct SWireMenuItem {
    uint nId = 0;
    QString strText;
    bool bChecked = false;
};
Q_DECLARE_METATYPE(SWireMenuItem)

QDBusArgument& operator<<(QDBusArgument& arg, const SWireMenuItem& item)
{
    arg.beginStructure();
    arg << item.nId << item.strText << item.bChecked;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, SWireMenuItem& item)
{
    arg.beginStructure();
    arg >> item.nId >> item.strText >> item.bChecked;
    arg.endStructure();
    return arg;
}

namespace {

const QString kService = QStringLiteral("example.lumicue.Shell");
const QString kPath = QStringLiteral("/example/lumicue/Shell");
const QString kInterface = QStringLiteral("example.lumicue.Shell");
constexpr uint kApiVersion = 1;
constexpr int kCallTimeoutMs = 5000;

QDBusMessage Call(QDBusConnection& bus, const QString& method, const QList<QVariant>& args = {})
{
    QDBusMessage msg = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    msg.setArguments(args);
    return bus.call(msg, QDBus::Block, kCallTimeoutMs);
}

BOOL bReplyTrue(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().first().toBool();
}

} // namespace

CGnomeShellLink::CGnomeShellLink() : bus(QDBusConnection::sessionBus())
{
    qDBusRegisterMetaType<SWireMenuItem>();
    qDBusRegisterMetaType<QList<SWireMenuItem>>();
    // Signals are taken from whoever owns the extension's name.
    bus.connect(kService, kPath, kInterface, QStringLiteral("HotKeyPressed"), this, SLOT(vOnHotKeyPressed()));
    bus.connect(kService, kPath, kInterface, QStringLiteral("IndicatorActivated"), this,
        SLOT(vOnIndicatorActivated()));
    bus.connect(kService, kPath, kInterface, QStringLiteral("MenuCommand"), this, SLOT(vOnMenuCommand(uint)));
}

CGnomeShellLink::~CGnomeShellLink() = default;

// The bus daemon names the owner at once; the shell is asked for the
// version only when the owner is new, so a busy shell does not make an
// enabled extension look absent at every switch.
BOOL CGnomeShellLink::bPresent()
{
    if (!bus.isConnected())
        return FALSE;
    const QString owner = bus.interface()->serviceOwner(kService).value();
    if (owner.isEmpty())
        return FALSE;
    if (owner == strCheckedOwner)
        return TRUE;
    const QDBusMessage reply = Call(bus, QStringLiteral("Version"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2
        || reply.arguments().at(1).toUInt() != kApiVersion)
        return FALSE;
    strCheckedOwner = owner;
    return TRUE;
}

BOOL CGnomeShellLink::bShow(const QString& strPicture, int nWidth, int nHeight, int nStride, int nHotX, int nHotY,
                            std::uint8_t nOpacity)
{
    return bReplyTrue(Call(bus, QStringLiteral("Show"),
        {strPicture, nWidth, nHeight, nStride, nHotX, nHotY, QVariant::fromValue(static_cast<uchar>(nOpacity))}));
}

void CGnomeShellLink::vHide()
{
    Call(bus, QStringLiteral("Hide"));
}

BOOL CGnomeShellLink::bPointer(int& x, int& y)
{
    const QDBusMessage reply = Call(bus, QStringLiteral("Pointer"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2)
        return FALSE;
    x = reply.arguments().at(0).toInt();
    y = reply.arguments().at(1).toInt();
    return TRUE;
}

BOOL CGnomeShellLink::bSetHotKey(const QString& strAccelerator)
{
    return bReplyTrue(Call(bus, QStringLiteral("SetHotKey"), {strAccelerator}));
}

void CGnomeShellLink::vSetIndicator(BOOL bShown, const QString& strTip)
{
    Call(bus, QStringLiteral("SetIndicator"), {bool(bShown), strTip});
}

void CGnomeShellLink::vShowMenu(const std::vector<SMenuItem>& items)
{
    QList<SWireMenuItem> list;
    for (const SMenuItem& item : items)
        list.append({item.nId, item.strText, item.bChecked != FALSE});
    // Answered by the menu opening: nothing to wait for.
    QDBusMessage msg = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("ShowMenu"));
    msg.setArguments({QVariant::fromValue(list)});
    bus.send(msg);
}

void CGnomeShellLink::vNotify(const QString& strTitle, const QString& strText)
{
    QDBusMessage msg = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    msg.setArguments({strTitle, strText});
    bus.send(msg);
}

void CGnomeShellLink::vOnHotKeyPressed()
{
    if (onHotKey)
        onHotKey();
}

void CGnomeShellLink::vOnIndicatorActivated()
{
    if (onIndicator)
        onIndicator();
}

void CGnomeShellLink::vOnMenuCommand(uint nId)
{
    if (onMenuCommand)
        onMenuCommand(nId);
}
