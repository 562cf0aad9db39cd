// A logical palette: a list of colours (on a true-colour surface nothing is
// mapped through one, so only the list itself is kept).
#pragma once

#include "platform/base/Win32.h"

#include <vector>

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};

struct LOGPALETTE {
    WORD palVersion = 0x300;
    std::vector<PALETTEENTRY> palPalEntry;
};
