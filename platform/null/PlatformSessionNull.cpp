// The test backend holds no connection to close.
#include "platform/PlatformSession.h"

void vEndPlatformSession() {}
