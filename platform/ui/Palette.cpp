// Logical palettes as plain colour lists.
#include "platform/ui/Palette.h"

BOOL CPalette::CreatePalette(const LOGPALETTE* p)
{
    if (!p || p->palPalEntry.empty())
        return FALSE;
    entries = p->palPalEntry;
    bValid = TRUE;
    return TRUE;
}

BOOL CPalette::DeleteObject()
{
    if (!bValid)
        return FALSE;
    entries.clear();
    bValid = FALSE;
    return TRUE;
}

UINT CPalette::GetPaletteEntries(UINT nStart, UINT nCount, PALETTEENTRY* out) const
{
    UINT n = 0;
    for (UINT i = nStart; i < entries.size() && n < nCount; ++i, ++n)
        out[n] = entries[i];
    return n;
}
