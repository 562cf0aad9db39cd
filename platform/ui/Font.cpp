// Fonts described in pixels and weights, made into Qt fonts.
#include "platform/ui/Font.h"

#include "platform/ui/Display.h"

#include <cmath>

BOOL CFont::CreateFontIndirect(const LOGFONTW* p)
{
    if (!p)
        return FALSE;
    QFont f;
    if (!p->lfFaceName.isEmpty())
        f.setFamily(p->lfFaceName);
    if (p->lfHeight != 0)
        f.setPixelSize(std::abs(static_cast<int>(p->lfHeight)));
    if (p->lfWeight > 0)
        f.setWeight(static_cast<QFont::Weight>(std::clamp<int>(p->lfWeight, 1, 1000)));
    f.setItalic(p->lfItalic != 0);
    f.setUnderline(p->lfUnderline != 0);
    f.setStrikeOut(p->lfStrikeOut != 0);
    font = f;
    return TRUE;
}

BOOL CFont::DeleteObject()
{
    if (!font)
        return FALSE;
    font.reset();
    return TRUE;
}

QFont CFont::ToQFont() const
{
    return font ? *font : QFont();
}

LOGFONTW CFont::LogFontOf(const QFont& f)
{
    LOGFONTW lf;
    const int px = f.pixelSize() > 0 ? f.pixelSize() : static_cast<int>(std::lround(f.pointSizeF() * GetDisplayDeviceCaps(LOGPIXELSY) / 72.0));
    lf.lfHeight = -px;
    lf.lfWeight = f.weight();
    lf.lfItalic = f.italic() ? 1 : 0;
    lf.lfUnderline = f.underline() ? 1 : 0;
    lf.lfStrikeOut = f.strikeOut() ? 1 : 0;
    lf.lfFaceName = f.family();
    return lf;
}
