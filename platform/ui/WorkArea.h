// The screen's work area: the part of the screen that panels and docks
// leave to windows.
#pragma once

#include "platform/base/Win32.h"

// The work area of the screen that holds pt (the primary screen's when no
// screen does); empty without any screen.
RECT WorkAreaAt(POINT pt);
