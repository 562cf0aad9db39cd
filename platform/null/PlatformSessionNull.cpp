// The test backend needs no window system and holds no connection to close.
#include "platform/DesktopRoute.h"
#include "platform/PlatformSession.h"

BOOL bPrepareSession(QString&)
{
    return true;
}

void vStartPlatformSession() {}

void vEndPlatformSession() {}

// Unit tests run without a session route: the pointer can always be followed.
CDesktopRoute* CurrentRoute()
{
    return nullptr;
}
