// Asking the window manager to bring a top-level window forward: shown
// (restored when minimised) and given the focus, on the user's behalf, as
// when the user starts the program a second time or clicks its tray icon.
#pragma once

#include "platform/base/Win32.h"

// FALSE when there is no window manager to ask; the toolkit's own
// activation is then all there is.
BOOL bRequestActivation(unsigned long nWindowId);
