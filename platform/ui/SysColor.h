// The system colours by their Win32 index, read from the toolkit's palette
// (so a theme change is a system colour change).
#pragma once

#include "platform/base/Win32.h"

constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_INFOBK = 24;

// The colour (0x00BBGGRR) of the index; black for an index without one.
COLORREF GetSysColor(int nIndex);
