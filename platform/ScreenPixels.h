// What the screen shows, for a window that darkens what lies beneath it: is a
// compositing manager blending windows, and which pixels are on screen now.
#pragma once

#include "platform/base/Win32.h"

class CBitmap32;

class CScreenPixels {
public:
    // Whether a compositing manager blends translucent windows over what
    // lies beneath them.
    static BOOL bComposited();
    // The opaque screen pixels of rc (screen coordinates) as they show now;
    // parts off the screen read as black. FALSE when nothing can be read.
    static BOOL bRead(const RECT& rc, CBitmap32& out);
    // The desktop's font resolution (the X resource Xft.dpi), which scaled
    // desktops raise to 144 or 192; 0 when none is set.
    static int nXftDpi();
};
