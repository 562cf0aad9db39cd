// Balloons through the desktop's notification service
// (org.freedesktop.Notifications) for an icon in an XEmbed tray, whose
// balloons Qt would otherwise draw itself. A click on the notification
// calls the given function.
#pragma once

#include "platform/base/Win32.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>

class CNotificationBalloon : public QObject {
    Q_OBJECT
public:
    CNotificationBalloon(std::function<void()> onClick, const QDBusConnection& bus);

    // Sends the balloon, replacing the previous one; FALSE when no service
    // runs or a StatusNotifierItem host shows the icon (Qt notifies then).
    BOOL bShow(const QString& title, const QString& text, int nTimeoutMs);
    // Whether a StatusNotifierItem host shows the icon (and the toolkit's
    // messages with it).
    BOOL bHostShowsMessages() const;
    // The service's id of the last balloon; 0 until it answered.
    uint nCurrentId() const { return nLastId; }

private slots:
    void onActionInvoked(uint nId, const QString& action);

private:
    std::function<void()> onClick;
    QDBusConnection bus;
    uint nLastId = 0;
    bool bListening = false;
};
