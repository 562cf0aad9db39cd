// The primary screen's density, read from the toolkit.
#include "platform/ui/Display.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

const QScreen* PrimaryScreen()
{
    // Without a graphical application (a command-line run) there is no screen.
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
}

} // namespace

int GetDisplayDeviceCaps(int nIndex)
{
    if (nIndex != LOGPIXELSY)
        return 0;
    const QScreen* screen = PrimaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

double DisplayPixelRatio()
{
    const QScreen* screen = PrimaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}
