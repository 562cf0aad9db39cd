// A dialog template as data: the window and its controls in dialog units,
// the form the resource compiler would give them.
#pragma once

#include "platform/Win32.h"

#include <QString>
#include <vector>

// Control styles the templates use.
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_NOTIFY = 0x0100;
constexpr DWORD SS_CENTERIMAGE = 0x0200;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_VISIBLE = 0x10000000;

struct DialogControl {
    int nId;
    QString strClass;   // "Static", "Button", "Edit", "SysTabControl32", "msctls_trackbar32", ...
    QString strText;
    int x, y, cx, cy;   // dialog units
    DWORD dwStyle;
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
