// The test backend needs no window system and holds no connection to close.
#include "platform/PlatformSession.h"

bool bPrepareSession(QString&)
{
    return true;
}

void vEndPlatformSession() {}
