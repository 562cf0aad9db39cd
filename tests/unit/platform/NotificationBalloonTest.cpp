// Balloons through a notification service on a private bus: sent with the
// title, text and time-out; a click on the current one (and only that) is
// reported; no service means no balloon.
#include "platform/ui/NotificationBalloon.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>

#include <gtest/gtest.h>

class CFakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
        const QStringList& actions, const QVariantMap&, int timeout)
    {
        seen << QStringLiteral("%1|%2|%3|%4").arg(summary, body, actions.join(',')).arg(timeout);
        return ++nNext;
    }

public:
    QStringList seen;
    uint nNext = 40;
};

namespace {

bool bWaitUntil(const std::function<bool()>& cond)
{
    QDeadlineTimer deadline(5000);
    while (!cond() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    return cond();
}

} // namespace

TEST(NotificationBalloon, GoesThroughTheServiceAndReportsClicksOnTheCurrentOne)
{
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForReadyRead(10000));
    const QString address = QString::fromLatin1(daemon.readLine()).trimmed();
    {
        QDBusConnection client = QDBusConnection::connectToBus(address, "balloon-client");
        QDBusConnection service = QDBusConnection::connectToBus(address, "balloon-service");
        ASSERT_TRUE(client.isConnected());
        int nClicks = 0;
        CNotificationBalloon balloon([&] { ++nClicks; }, client);
        EXPECT_FALSE(balloon.bShow("t", "x", 1000)) << "no service: Qt's own balloon";

        CFakeNotifications fake;
        ASSERT_TRUE(service.registerObject("/org/freedesktop/Notifications", &fake, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
        EXPECT_TRUE(balloon.bShow("Lumicue", "Hight Visibility Pointer  is On", 1000));
        ASSERT_TRUE(bWaitUntil([&] { return balloon.nCurrentId() == 41; }));
        EXPECT_TRUE(balloon.bShow("Lumicue Update", "New version", 20000));
        ASSERT_TRUE(bWaitUntil([&] { return balloon.nCurrentId() == 42; }));
        EXPECT_EQ(fake.seen, (QStringList{"Lumicue|Hight Visibility Pointer  is On|default,Open|1000",
                                  "Lumicue Update|New version|default,Open|20000"}));

        for (uint id : {41u, 42u}) {
            QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/Notifications",
                "org.freedesktop.Notifications", "ActionInvoked");
            signal << id << QStringLiteral("default");
            service.send(signal);
        }
        EXPECT_TRUE(bWaitUntil([&] { return nClicks > 0; }));
        QCoreApplication::processEvents();
        EXPECT_EQ(nClicks, 1) << "a click on an older notification is not this balloon's";

        service.registerService("org.kde.StatusNotifierWatcher");
        EXPECT_FALSE(balloon.bShow("t", "x", 1000)) << "Qt notifies for StatusNotifierItem hosts itself";
    }
    QDBusConnection::disconnectFromBus("balloon-client");
    QDBusConnection::disconnectFromBus("balloon-service");
    daemon.kill();
    daemon.waitForFinished(2000);
}

#include "NotificationBalloonTest.moc"
