// The balloon of an icon in an XEmbed tray, drawn by us: one window per
// icon, filled and shown again for each message. (The toolkit's own balloon
// makes a new window for every message, and memory grew with each one.)
#pragma once

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QTimer>

#include <functional>

class CTrayBalloon : public QFrame {
public:
    explicit CTrayBalloon(std::function<void()> onClick);

    // Shows the message beside anchor (the icon's place on the screen) for
    // nTimeoutMs (10 s when not positive), replacing the one shown.
    void vShow(const QIcon& icon, const QString& title, const QString& text, const QRect& anchor, int nTimeoutMs);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> onClick;
    QLabel iconLabel;
    QLabel titleLabel;
    QLabel textLabel;
    QTimer hideTimer;
};
