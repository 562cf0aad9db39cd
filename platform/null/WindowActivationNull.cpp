// Unit tests have no window manager to ask.
#include "platform/WindowActivation.h"

BOOL bRequestActivation(unsigned long)
{
    return FALSE;
}
