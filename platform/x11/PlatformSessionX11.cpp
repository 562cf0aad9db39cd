// The X11 session: the display is tried before the toolkit starts, and the UI
// thread's own X connection is closed at the end of the program.
#include "platform/PlatformSession.h"

#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11LostServerGuard.h"

bool bPrepareSession(QString& strProblem)
{
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) {
        strProblem = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
            ? QStringLiteral("DISPLAY is not set")
            : QStringLiteral("this Wayland session has no XWayland (DISPLAY is not set)");
        return false;
    }
    X11InstallErrorHandler(); // before any connection, the toolkit's too
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        strProblem = QStringLiteral("cannot open display \"%1\"").arg(display);
        return false;
    }
    XCloseDisplay(dpy);
    X11GuardCrashesOnLostServer(display);
    // Under Wayland the toolkit would otherwise choose its Wayland backend,
    // where the overlay, the hotkey and the cursor position do not work.
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

void vEndPlatformSession()
{
    CX11Display::vCloseUiDisplay();
}
