// A tab control (SysTabControl32): tabs with texts, the selected tab, and
// the rectangle of each tab; a user's pick reaches the parent as
// WM_NOTIFY TCN_SELCHANGE.
#pragma once

#include "platform/ui/Wnd.h"

class CTabControlWidget;

class CTabCtrl : public CWnd {
public:
    // TCM_INSERTITEM with only the text; answers the new tab's index or -1.
    LONG InsertItem(int nItem, const QString& text);
    int GetCurSel() const;
    // TCM_SETCURSEL: selects without a notification; answers the previous tab or -1.
    int SetCurSel(int nItem);
    // The tab's rectangle in this control's client coordinates.
    BOOL GetItemRect(int nItem, RECT* rc) const;

private:
    CTabControlWidget* Widget() const;
};
