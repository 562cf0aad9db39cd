// The process-wide system colours the gallery paints with: face and shadow,
// two derived fills and the grip brush. Nothing is read at construction,
// before the toolkit runs: the program refreshes once at start-up and again
// on every colour change.
#pragma once

#include "platform/base/Win32.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Palette.h"

class CSysColorSet {
public:
    CSysColorSet() = default;
    CSysColorSet(const CSysColorSet&) = delete;
    CSysColorSet& operator=(const CSysColorSet&) = delete;

    // Reads the colours and recomputes the fills.
    void RefreshColors();
    // (Re)makes brushGrip: an 8 x 8 pattern of rows alternately set and clear.
    void CreateGripBrush();

    // Per channel: (3 x window + info background) x 250 / 1000.
    static COLORREF LightFill(COLORREF clrWindow, COLORREF clrInfoBk);
    // The face colour with red x 0.73, green x 0.76, blue x 0.89.
    static COLORREF SelectedFill(COLORREF clrFace);
    // 252 entries: red outermost (7 steps), green and blue (6 steps each).
    static LOGPALETTE UniformPalette();

    COLORREF clrFace = 0;
    COLORREF clrShadow = 0;
    COLORREF clrLightFill = 0;
    COLORREF clrSelectedFill = 0;
    CBrush brushGrip;
};

extern CSysColorSet g_sysColors;
