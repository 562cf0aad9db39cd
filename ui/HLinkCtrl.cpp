// Hover tracking with the mouse capture, colours by state and opening the address.
#include "ui/HLinkCtrl.h"

#include "platform/ui/Accessible.h"
#include "platform/ui/DC.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/ShellOpen.h"

CHLinkCtrl::CHLinkCtrl() : hCursorHand(LoadCursorW(nullptr, IDC_HAND)) {}

CHLinkCtrl::~CHLinkCtrl()
{
    fontUnderline.DeleteObject();
}

void CHLinkCtrl::PreSubclassWindow()
{
    // A link takes clicks whatever its template says.
    ModifyStyle(0, SS_NOTIFY);
    vSetAccessibleRole(this, AccessibleRole::Link);
}

BOOL CHLinkCtrl::bOpenURL()
{
    BeginWaitCursor();
    const BOOL bOpened = bShellOpen(strURL);
    EndWaitCursor();
    return bOpened;
}

CBrush* CHLinkCtrl::pCtlColor(CDC* pDC)
{
    if (!bIsTextStatic(GetStyle()))
        return nullptr;
    if (!fontUnderline.IsValid()) {
        LOGFONTW lf = CFont::LogFontOf(GetFont());
        lf.lfUnderline = TRUE;
        fontUnderline.CreateFontIndirect(&lf);
    }
    pDC->SelectObject(&fontUnderline);
    switch (nState) {
    case 0:
        pDC->SetTextColor(clrNormal);
        break;
    case 1:
        pDC->SetTextColor(clrVisited);
        break;
    case 2:
        pDC->SetTextColor(clrHover);
        break;
    default:
        break;
    }
    pDC->SetBkMode(TRANSPARENT);
    return GetStockBrush(NULL_BRUSH);
}

void CHLinkCtrl::vTrackHover(POINT pt)
{
    RECT rc;
    GetClientRect(&rc);
    const BOOL bInside = PtInRect(&rc, pt);
    if (bInside && nState != 2) {
        // The capture tells us when the pointer leaves, wherever it goes.
        SetCapture();
        nSavedState = nState;
        nState = 2;
        InvalidateRect(nullptr, TRUE);
    } else if (!bInside && nState == 2) {
        nState = nSavedState;
        InvalidateRect(nullptr, TRUE);
        ReleaseCapture();
    }
}

LRESULT CHLinkCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(hCursorHand);
        return TRUE;
    case WM_MOUSEMOVE:
        vTrackHover(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_LBUTTONDOWN:
        // Opened while hovered: the link stays red under the pointer and
        // turns visited when the pointer leaves, which also gives the
        // capture back (marking it visited at once would keep the capture
        // until the pointer came back, taking every click in the window).
        if (bOpenURL()) {
            if (nState == 2)
                nSavedState = 1;
            else
                nState = 1;
        }
        return 0;
    case OCM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(pCtlColor(reinterpret_cast<CDC*>(wParam)));
    default:
        break;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}
