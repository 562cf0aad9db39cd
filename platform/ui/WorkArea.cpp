// The work area from the toolkit's screens (the window manager's
// _NET_WORKAREA where it sets one, else the whole screen).
#include "platform/ui/WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

RECT WorkAreaAt(POINT pt)
{
    if (!QGuiApplication::instance())
        return RECT{};
    QScreen* screen = QGuiApplication::screenAt(QPoint(pt.x, pt.y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return RECT{};
    const QRect r = screen->availableGeometry();
    return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
