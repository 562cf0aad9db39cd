// Closes the UI thread's own X connection at the end of the program.
#include "platform/PlatformSession.h"

#include "platform/x11/X11Display.h"

void vEndPlatformSession()
{
    CX11Display::vCloseUiDisplay();
}
