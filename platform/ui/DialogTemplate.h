// A dialog template as data: the window and its controls in dialog units,
// the form the resource compiler would give them.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <vector>

// Control styles the templates use.
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_OWNERDRAW = 0x000D;
constexpr DWORD SS_ETCHEDHORZ = 0x0010;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOTIFY = 0x0100;
constexpr DWORD SS_CENTERIMAGE = 0x0200;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_OWNERDRAW = 0x000B;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD TBS_NOTICKS = 0x0010;
// Extended style: text aligned right.
constexpr DWORD WS_EX_RIGHT = 0x00001000;

// A static that shows its text (left, centred or right), not an icon, a line or its owner's drawing.
constexpr BOOL bIsTextStatic(DWORD dwStyle)
{
    return (dwStyle & SS_TYPEMASK) <= SS_RIGHT;
}

struct DialogControl {
    int nId;
    QString strClass;   // "Static", "Button", "Edit", "ComboBox", "SysTabControl32", "msctls_trackbar32", ...
    QString strText;
    int x, y, cx, cy;   // dialog units
    DWORD dwStyle;      // WS_VISIBLE for a control shown from the start
    DWORD dwExStyle = 0;
};

struct DialogTemplate {
    UINT nId;
    QString strTitle;
    int x, y, cx, cy;   // dialog units
    BOOL bChild;        // a page inside another window rather than a top-level popup
    std::vector<DialogControl> controls;
};

// The template with the id, or null.
const DialogTemplate* FindDialogTemplate(UINT nId);
