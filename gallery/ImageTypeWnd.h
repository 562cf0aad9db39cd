// The window that shows the gallery grid: it hands the grid its paint, mouse
// and key events, frames it, and relays the grid's choice or cancellation to
// the window that asked for it.
#pragma once

#include "gallery/FODropShadow.h"
#include "gallery/ImageTypeControl.h"
#include "platform/ui/Wnd.h"

#include <memory>

class CImageTypeWnd : public CWnd {
public:
    CImageTypeWnd();
    ~CImageTypeWnd() override;

    // Creates the window at rc (hidden unless dwStyle has WS_VISIBLE) and
    // attaches the grid; a pop-up grid keeps its size and casts a shadow.
    BOOL bCreateGrid(DWORD dwWndStyle, RECT rc, CWnd* pParentWnd, int nId, int nSelected, BOOL bPopup);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // How far a pop-up's shadow reaches right of and below the grid.
    static constexpr int nShadowDepth = 4;

    CWnd* pNotifyWnd = nullptr;
    int nCtrlId = -1;
    BOOL bFirstPaint = TRUE;
    BOOL bDropShadow = FALSE;
    CFODropShadow shadow;
    std::unique_ptr<CImageTypeControl> pControl;

protected:
    void vOnPaint();
};
