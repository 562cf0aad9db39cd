// The gallery pop-up: a frameless pop-up that takes the keyboard when shown,
// reads what lies beneath its shadow first, and hides when it loses activation.
#include "gallery/PopupImageTypeWnd.h"

#include "platform/ScreenPixels.h"


BOOL CPopupImageTypeWnd::bCreatePopup(DWORD dwWndStyle, int nId, const RECT* prc, CWnd* pParentWnd, int nSelected, int, int, int)
{
    if (!bCreateGrid(dwWndStyle | WS_POPUP, *prc, pParentWnd, nId, nSelected, TRUE))
        return FALSE;
    SetFocus();
    return TRUE;
}

void CPopupImageTypeWnd::vFitInto(const RECT& rcWork)
{
    CImageTypeControl& grid = *pControl;
    const RECT rcOld = grid.rcControl;
    grid.vFitInto(RectWidth(rcWork) - nShadowDepth, RectHeight(rcWork) - nShadowDepth);
    grid.vEnsureVisible(grid.nSelected);
    if (!IsWindow() || rcOld == grid.rcControl)
        return;
    // The band beneath the shadow is read again at the next showing.
    shadow.vReset();
    const int nGrown = bFirstPaint ? 0 : nShadowDepth;
    SetWindowPos(nullptr, 0, 0, RectWidth(grid.rcControl) + nGrown, RectHeight(grid.rcControl) + nGrown,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(TRUE);
}

BOOL CPopupImageTypeWnd::ShowWindow(int nCmdShow)
{
    if (nCmdShow != SW_HIDE && IsWindow() && !IsWindowVisible()) {
        shadow.bTranslucent = CScreenPixels::bComposited();
        if (!shadow.bTranslucent) {
            // What the shadow darkens must be read before the window covers it.
            RECT rc;
            GetWindowRect(&rc);
            rc.right = rc.left + RectWidth(pControl->rcControl) + nShadowDepth;
            rc.bottom = rc.top + RectHeight(pControl->rcControl) + nShadowDepth;
            shadow.vTakeBeneath(rc);
        }
    }
    const BOOL bWasVisible = CImageTypeWnd::ShowWindow(nCmdShow);
    // The pop-up holds mouse and keyboard while shown: the keys come here
    // without the window system's activation.
    if (nCmdShow != SW_HIDE && IsWindow())
        SetFocus();
    return bWasVisible;
}

LRESULT CPopupImageTypeWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
        // While shown the pop-up holds the mouse: a press outside it is a
        // click elsewhere, which ends it like a loss of activation.
        RECT rc;
        GetClientRect(&rc);
        if (!PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
            ShowWindow(SW_HIDE);
            return 0;
        }
    }
    if (message == WM_ACTIVATE) {
        const LRESULT result = CImageTypeWnd::WindowProc(message, wParam, lParam);
        if (LOWORD(wParam) == WA_INACTIVE)
            ShowWindow(SW_HIDE);
        return result;
    }
    return CImageTypeWnd::WindowProc(message, wParam, lParam);
}
