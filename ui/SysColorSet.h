// The process-wide system colours the gallery paints with: face and shadow,
// two derived fills, a 252-colour uniform palette and the grip brush.
#pragma once

#include "platform/Win32.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Palette.h"

class CSysColorSet {
public:
    CSysColorSet();
    ~CSysColorSet();
    CSysColorSet(const CSysColorSet&) = delete;
    CSysColorSet& operator=(const CSysColorSet&) = delete;

    // Reads the colours again, recomputes the fills and rebuilds the palette.
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
    BOOL bFlatLook = TRUE;
    CPalette palUniform;
    CBrush brushGrip;
};

extern CSysColorSet g_sysColors;
