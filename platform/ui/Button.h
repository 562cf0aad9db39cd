// A button control; for a check box, its check state.
#pragma once

#include "platform/ui/Wnd.h"

constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

class CButton : public CWnd {
public:
    // BST_CHECKED or BST_UNCHECKED; a push button answers BST_UNCHECKED.
    int GetCheck() const;
    void SetCheck(int nCheck);
};
