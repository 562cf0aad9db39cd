// One notification at a time per icon, sent without waiting for the service.
#include "platform/ui/NotificationBalloon.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kSniWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
} // namespace

CNotificationBalloon::CNotificationBalloon(std::function<void()> onClickFn, const QDBusConnection& busIn)
    : onClick(std::move(onClickFn)), bus(busIn)
{
}

BOOL CNotificationBalloon::bShow(const QString& title, const QString& text, int nTimeoutMs)
{
    QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
    if (!names || names->isServiceRegistered(kSniWatcher).value() || !names->isServiceRegistered(kService).value())
        return false;
    if (!bListening)
        bListening = bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
            SLOT(onActionInvoked(uint, QString)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("Lumicue") << nLastId << QString() << title << text
         << QStringList{QStringLiteral("default"), QStringLiteral("Open")} << QVariantMap() << nTimeoutMs;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid())
            nLastId = reply.value();
        w->deleteLater();
    });
    return true;
}

BOOL CNotificationBalloon::bHostShowsMessages() const
{
    QDBusConnectionInterface* names = bus.isConnected() ? bus.interface() : nullptr;
    return names && names->isServiceRegistered(kSniWatcher).value();
}

void CNotificationBalloon::onActionInvoked(uint nId, const QString& action)
{
    if (nId == nLastId && nId != 0 && action == QLatin1String("default") && onClick)
        onClick();
}
