// The Pointer page's preview: decoding, and drawing over the parent's background.
#include "gallery/PictureCtrl.h"

#include "platform/ui/DC.h"
#include "platform/ui/DialogTemplate.h"

CPictureCtrl::CPictureCtrl()
{
    pictures.fnArrived = [this](const QString& strArrived) {
        if (strArrived != strPath || !IsWindow())
            return;
        InvalidateRect(nullptr, TRUE);
        RECT rc;
        GetClientRect(&rc);
        SPictureFound found;
        pictures.Find(strPath, RectWidth(rc), RectHeight(rc), &found);
        if (found.state == PictureState::Failed && fnUnreadable)
            fnUnreadable(strPath);
    };
}

CPictureCtrl::~CPictureCtrl() = default;

void CPictureCtrl::vSetImage(const QString& strNewPath)
{
    strPath = strNewPath;
    bHasImage = TRUE;
    if (IsWindow()) {
        // The one format the gallery knows; the decoder checks the signature.
        RECT rc;
        GetClientRect(&rc);
        if (!IsRectEmpty(&rc))
            pictures.Find(strPath, RectWidth(rc), RectHeight(rc), nullptr, TRUE);
        InvalidateRect(nullptr, TRUE);
        UpdateWindow();
    }
}

void CPictureCtrl::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
}

LRESULT CPictureCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<CDC*>(wParam));
    case WM_LBUTTONDOWN:
        // The click is reported when the button comes up over the control:
        // what it opens must not receive the release of the same click.
        return 0;
    case WM_LBUTTONUP: {
        RECT rc;
        GetClientRect(&rc);
        if (GetParent() && (GetStyle() & SS_NOTIFY) && PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), STN_CLICKED), reinterpret_cast<LPARAM>(this));
        return 0;
    }
    default:
        break;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

BOOL CPictureCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CPictureCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct->hDC;
    const RECT rc = lpDrawItemStruct->rcItem;
    // The parent paints its own background here, lined up with the rest of it.
    if (CWnd* parent = GetParent(); parent && IsWindow()) {
        POINT pt{0, 0};
        ClientToScreen(&pt);
        parent->ScreenToClient(&pt);
        const POINT old = pDC->SetWindowOrg(pt.x, pt.y);
        parent->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(pDC), 0);
        pDC->SetWindowOrg(old.x, old.y);
    }
    if (!bHasImage)
        pDC->FillSolidRect(&rc, clrBack);
    else if (IsRectEmpty(&rc) || strPath.isEmpty())
        return;
    else if (const CBitmap32* image = pictures.Find(strPath, RectWidth(rc), RectHeight(rc), nullptr, TRUE))
        pDC->AlphaBlendStretch(&rc, *image, FALSE);
}
