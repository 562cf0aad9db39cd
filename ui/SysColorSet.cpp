// System colours, derived fills, the uniform palette and the grip brush.
#include "ui/SysColorSet.h"

#include "platform/ui/GdiBitmap.h"
#include "platform/ui/SysColor.h"

CSysColorSet g_sysColors;

COLORREF CSysColorSet::LightFill(COLORREF w, COLORREF i)
{
    auto mix = [](int a, int b) { return static_cast<BYTE>((3 * a + b) * 250 / 1000); };
    return RGB(mix(GetRValue(w), GetRValue(i)), mix(GetGValue(w), GetGValue(i)), mix(GetBValue(w), GetBValue(i)));
}

COLORREF CSysColorSet::SelectedFill(COLORREF f)
{
    return RGB(static_cast<BYTE>(GetRValue(f) * 730 / 1000), static_cast<BYTE>(GetGValue(f) * 760 / 1000),
        static_cast<BYTE>(GetBValue(f) * 890 / 1000));
}

LOGPALETTE CSysColorSet::UniformPalette()
{
    LOGPALETTE lp;
    lp.palVersion = 0x300;
    for (int r = 0; r <= 1530; r += 255)
        for (int g = 0; g <= 1275; g += 255)
            for (int b = 0; b <= 1275; b += 255)
                lp.palPalEntry.push_back(
                    PALETTEENTRY{static_cast<BYTE>(r / 6), static_cast<BYTE>(g / 5), static_cast<BYTE>(b / 5), 0});
    return lp;
}

void CSysColorSet::RefreshColors()
{
    clrFace = GetSysColor(COLOR_BTNFACE);
    clrShadow = GetSysColor(COLOR_BTNSHADOW);
    clrLightFill = LightFill(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_INFOBK));
    clrSelectedFill = SelectedFill(clrFace);
}

void CSysColorSet::CreateGripBrush()
{
    brushGrip.DeleteObject();
    // WORD-aligned rows: set, clear, set, ...
    const BYTE rows[16] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0};
    CBitmap bitmap;
    if (bitmap.CreateBitmap(8, 8, 1, 1, rows))
        brushGrip.CreatePatternBrush(&bitmap);
    bitmap.DeleteObject();
}
