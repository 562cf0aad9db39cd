// The program's session: the X server the toolkit runs on is checked before
// the toolkit starts; once it has started, the route for this session is
// chosen from what the session bus and the environment say.
#include "platform/PlatformSession.h"

#include "platform/desktop/NoFollowRoute.h"
#include "platform/desktop/RouteFactory.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace {

std::unique_ptr<CDesktopRoute> g_route;

BOOL bOnSessionBus(const char* name)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(QString::fromLatin1(name)).value();
}

SSessionFacts GatherFacts()
{
    SSessionFacts facts;
    facts.bWaylandSession = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || qEnvironmentVariable("XDG_SESSION_TYPE").compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0;
    if (!facts.bWaylandSession)
        return facts;
    facts.bKWin = bOnSessionBus("org.kde.KWin");
    facts.bGnomeShell = bOnSessionBus("org.gnome.Shell");
    facts.bLayerShell = facts.bKWin && bProbeLayerShell();
    return facts;
}

} // namespace

CDesktopRoute* CurrentRoute()
{
    return g_route.get();
}

BOOL bPrepareSession(QString& strProblem)
{
    return CX11Route::bPrepare(strProblem);
}

void vStartPlatformSession()
{
    if (!g_route)
        g_route = MakeRoute(ChooseRoute(GatherFacts()));
}

void vEndPlatformSession()
{
    if (g_route)
        g_route->vEnd();
    CX11Route::vCloseUiDisplay();
}
