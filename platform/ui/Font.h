// A font as dialog code describes it (LOGFONTW: height in pixels, negative
// for the character height, weight 400/700) over a Qt font.
#pragma once

#include "platform/base/Win32.h"

#include <QFont>
#include <QString>
#include <optional>

constexpr LONG FW_BOLD = 700;

struct LOGFONTW {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    QString lfFaceName;
};

class CFont {
public:
    BOOL CreateFontIndirect(const LOGFONTW* pLogFont);
    BOOL DeleteObject();
    BOOL IsValid() const { return font.has_value(); }
    // The toolkit font; the default font when none was made.
    QFont ToQFont() const;

    // The description of a toolkit font: its pixel height, negative.
    static LOGFONTW LogFontOf(const QFont& qfont);

private:
    std::optional<QFont> font;
};
