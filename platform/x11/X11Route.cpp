// The X11 route's overlay and devices, and the X server check at start-up.
#include "platform/x11/X11Route.h"

#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11InputSource.h"
#include "platform/x11/X11LostServerGuard.h"
#include "platform/x11/X11Overlay.h"

std::unique_ptr<COverlayBackend> CX11Route::MakeOverlay()
{
    return std::make_unique<CX11Overlay>();
}

std::unique_ptr<CInputSource> CX11Route::MakeInput(CInputDevice::Kind kind)
{
    return CX11InputSource::Create(kind);
}

BOOL CX11Route::bPrepare(QString& strProblem)
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
    // The toolkit's windows live on the X server in every session (XWayland
    // in a Wayland one); the session's route provides the rest.
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

void CX11Route::vCloseUiDisplay()
{
    CX11Display::vCloseUiDisplay();
}
