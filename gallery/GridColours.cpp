// The grid's light and selected fills from the system colours.
#include "gallery/GridColours.h"

#include "platform/ui/SysColor.h"

GridColours GridColours::From(COLORREF clrFace, COLORREF clrShadow, COLORREF clrWindow, COLORREF clrInfoBk)
{
    auto light = [](BYTE w, BYTE i) { return static_cast<BYTE>((3 * w + i) / 4); };
    GridColours c;
    c.clrFace = clrFace;
    c.clrShadow = clrShadow;
    c.clrLight = RGB(light(GetRValue(clrWindow), GetRValue(clrInfoBk)), light(GetGValue(clrWindow), GetGValue(clrInfoBk)),
        light(GetBValue(clrWindow), GetBValue(clrInfoBk)));
    c.clrSelected = RGB(static_cast<BYTE>(GetRValue(clrFace) * 730 / 1000), static_cast<BYTE>(GetGValue(clrFace) * 760 / 1000),
        static_cast<BYTE>(GetBValue(clrFace) * 890 / 1000));
    return c;
}

GridColours GridColours::FromSystem()
{
    return From(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_INFOBK));
}
