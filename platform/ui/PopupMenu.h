// Shows a menu as a pop-up and delivers the chosen item to its owner as a
// command, the way the platform's pop-up menus do.
#pragma once

#include "platform/base/Win32.h"

class CMenu;
class CWnd;

constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RIGHTALIGN = 0x0008;

// Runs the menu at x, y (its right edge there with TPM_RIGHTALIGN) until an
// item is chosen or the menu is dismissed; the chosen item's id is posted to
// pOwner as WM_COMMAND. FALSE when the menu could not be shown.
BOOL TrackPopupMenu(const CMenu& menu, UINT uFlags, int x, int y, CWnd* pOwner);

// Tests put a recorder here so no menu blocks them; it answers the id to
// choose (0 for none). Null restores the real menus.
using PopupMenuHook = UINT (*)(const CMenu& menu, int x, int y);
void SetPopupMenuHook(PopupMenuHook hook);
