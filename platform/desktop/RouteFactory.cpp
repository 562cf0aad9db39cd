#include "platform/desktop/RouteFactory.h"

#include "platform/desktop/NoFollowRoute.h"

std::unique_ptr<CDesktopRoute> MakeRoute(EDesktopRoute kind)
{
    if (kind == EDesktopRoute::X11)
        return std::make_unique<CX11Route>();
    return std::make_unique<CNoFollowRoute>(kind);
}

bool bProbeLayerShell()
{
    return false;
}
