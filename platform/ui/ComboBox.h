// A drop-down list (ComboBox with CBS_DROPDOWNLIST): its items and the
// selection. The user's choice reaches the parent as WM_COMMAND CBN_SELCHANGE.
#pragma once

#include "platform/ui/Wnd.h"

constexpr int CB_ERR = -1;

class CComboBox : public CWnd {
public:
    // Appends the item; answers its index.
    int AddString(const QString& text);
    void ResetContent();
    // CB_ERR when nothing is selected.
    int GetCurSel() const;
    int SetCurSel(int nSelect);
};
