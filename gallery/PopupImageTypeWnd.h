// The gallery as the Pointer page uses it: a pop-up without frame that casts
// a shadow and hides itself on a choice, a cancellation or a click elsewhere.
#pragma once

#include "gallery/ImageTypeWnd.h"

class CPopupImageTypeWnd : public CImageTypeWnd {
public:
    // The three trailing integers are accepted and ignored.
    virtual BOOL bCreatePopup(DWORD dwWndStyle, int nId, const RECT* prc, CWnd* pParentWnd, int nSelected, int, int, int);
    BOOL ShowWindow(int nCmdShow) override;
    // Fits the grid, its frame and its shadow into the work area (fewer
    // columns, then scrolled rows) and keeps the selected cell in view.
    void vFitInto(const RECT& rcWork);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
