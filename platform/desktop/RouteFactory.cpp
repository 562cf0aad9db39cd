#include "platform/desktop/RouteFactory.h"

#include "platform/desktop/NoFollowRoute.h"
#include "platform/gnome/GnomeRoute.h"
#include "platform/storage/Folders.h"
#include "platform/wayland/KWinRoute.h"
#include "platform/wayland/WaylandProbe.h"

std::unique_ptr<CDesktopRoute> MakeRoute(EDesktopRoute kind)
{
    if (kind == EDesktopRoute::X11)
        return std::make_unique<CX11Route>();
    if (kind == EDesktopRoute::Gnome)
        return MakeGnomeRoute();
    if (kind == EDesktopRoute::KWin)
        return std::make_unique<CKWinRoute>(GetProgramDataFolder() + QStringLiteral("kwin/lumicue.js"));
    return std::make_unique<CNoFollowRoute>(kind);
}

BOOL bProbeLayerShell()
{
    return bCompositorOffersLayerShell();
}
