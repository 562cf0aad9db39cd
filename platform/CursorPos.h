// Where the mouse cursor is on the screen, read by the calling thread over
// its own connection to the display.
#pragma once

#include "platform/base/Win32.h"

class CCursorPos {
public:
    // Screen position of the cursor; FALSE (and 0, 0) when it cannot be read.
    static BOOL bGet(int& x, int& y);
};
