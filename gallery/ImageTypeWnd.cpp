// The gallery window: paint of the grid, frame and shadow, the
// mouse with capture, keys, and the relay of the grid's notifications.
#include "gallery/ImageTypeWnd.h"

#include "platform/ui/DC.h"
#include "platform/ui/PaintDC.h"
#include "ui/SysColorSet.h"


CImageTypeWnd::CImageTypeWnd() : pControl(std::make_unique<CImageTypeControl>()) {}

CImageTypeWnd::~CImageTypeWnd()
{
    shadow.vReset();
    pControl.reset();
    DestroyWindow();
}

BOOL CImageTypeWnd::bCreateGrid(DWORD dwWndStyle, RECT rc, CWnd* pParentWnd, int nId, int nSelected, BOOL bPopup)
{
    nCtrlId = nId;
    // A pop-up draws its own shadow, blended by a compositor.
    if (!CreateEx(bPopup ? WS_EX_LAYERED : 0, QStringLiteral("LumicueImageType"), QString(), dwWndStyle, rc.left, rc.top, RectWidth(rc),
            RectHeight(rc), pParentWnd, 0))
        return FALSE;
    pNotifyWnd = pParentWnd;
    pControl->vAttach(this, nSelected, bPopup);
    bDropShadow = bPopup;
    UpdateWindow();
    return TRUE;
}

void CImageTypeWnd::vOnPaint()
{
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    // The paint DC draws into the window's off-screen surface already.
    pControl->vPaint(&dc);
    if (bDropShadow) {
        if (bFirstPaint) {
            // Room for the shadow to the right and below; the grid keeps its place.
            SetWindowPos(nullptr, 0, 0, RectWidth(rc) + nShadowDepth, RectHeight(rc) + nShadowDepth,
                SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
            bFirstPaint = FALSE;
        }
        dc.Draw3dRect(&pControl->rcControl, RGB(0, 0, 0), RGB(0, 0, 0));
        shadow.bDraw(&dc, &pControl->rcControl, nShadowDepth, TRUE);
    } else {
        dc.Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
    }
}

LRESULT CImageTypeWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_PAINT:
        vOnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_LBUTTONDOWN:
        SetCapture();
        SetFocus();
        pControl->vOnMouseMove(x, y);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == this)
            pControl->vOnMouseMove(x, y);
        return 0;
    case WM_LBUTTONUP:
        // Only a press made in this window chooses: the release of the click
        // that opened the pop-up must not pick whatever cell lies under it.
        if (GetCapture() == this) {
            ReleaseCapture();
            pControl->vOnLButtonUp(x, y);
        }
        break;
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        SetFocus();
        break;
    case WM_KEYDOWN:
        pControl->vOnKeyDown(static_cast<UINT>(wParam));
        break;
    case WM_MOUSEWHEEL:
        // A notch scrolls one row; a grid that fits does not move.
        pControl->vScrollBy(-GET_WHEEL_DELTA_WPARAM(wParam) * pControl->nCellHeight / WHEEL_DELTA);
        return 0;
    case WM_SIZE: {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (!bDropShadow)
            GetClientRect(&pControl->rcControl);
        pControl->vRelayout();
        return result;
    }
    case WM_SYSCOLORCHANGE:
        g_sysColors.RefreshColors();
        Invalidate(TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    // The grid hid a pop-up when it posted these.
    case WM_IMAGETYPE_SELECTED:
        if (pNotifyWnd)
            pNotifyWnd->SendMessage(WM_IMAGETYPE_SELECTED, wParam, nCtrlId);
        return 0;
    case WM_IMAGETYPE_CANCELLED:
        if (pNotifyWnd)
            pNotifyWnd->PostMessage(WM_IMAGETYPE_CANCELLED, wParam, nCtrlId);
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
