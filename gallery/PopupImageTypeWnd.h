// The gallery as the Pointer page uses it: a pop-up without frame that casts
// a shadow and hides itself on a choice, a cancellation or a click elsewhere.
#pragma once

#include "gallery/ImageTypeWnd.h"

class CPopupImageTypeWnd : public CImageTypeWnd {
public:
    // The three trailing integers are accepted and ignored.
    virtual BOOL bCreatePopup(DWORD dwStyle, int nId, const RECT* prc, CWnd* pParent, int nSelected, int, int, int);
    BOOL ShowWindow(int nCmdShow) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
