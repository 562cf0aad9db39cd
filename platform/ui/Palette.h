// A logical palette: a list of colours (on a true-colour surface nothing is
// mapped through it, but its entries are what the code asked for).
#pragma once

#include "platform/Win32.h"

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

class CPalette {
public:
    BOOL CreatePalette(const LOGPALETTE* pLogPalette);
    BOOL DeleteObject();
    BOOL IsValid() const { return bValid; }
    int GetEntryCount() const { return static_cast<int>(entries.size()); }
    // Copies up to nCount entries from nStart; answers how many were copied.
    UINT GetPaletteEntries(UINT nStart, UINT nCount, PALETTEENTRY* out) const;

private:
    BOOL bValid = FALSE;
    std::vector<PALETTEENTRY> entries;
};
