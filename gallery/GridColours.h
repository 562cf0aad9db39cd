// The gallery grid's colours, derived from the system colours so a change of
// theme reaches the grid at its next paint.
#pragma once

#include "platform/Win32.h"

struct GridColours {
    COLORREF clrFace = RGB(240, 240, 240);
    COLORREF clrShadow = RGB(160, 160, 160);
    COLORREF clrLight = RGB(255, 255, 247);
    COLORREF clrSelected = RGB(175, 182, 213);

    // Light fill: three parts window colour to one part tooltip background;
    // selected fill: the face colour with red, green and blue scaled by
    // 730, 760 and 890 thousandths.
    static GridColours From(COLORREF clrFace, COLORREF clrShadow, COLORREF clrWindow, COLORREF clrInfoBk);
    // From the system colours as they are now.
    static GridColours FromSystem();
};
