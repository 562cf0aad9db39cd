// Painting and hit-testing of one gallery cell.
#include "gallery/ImageCellObj.h"

#include "platform/image/PictureCache.h"
#include "platform/ui/DC.h"
#include "ui/SysColorSet.h"

#include <algorithm>

BOOL CImageCellObj::bHitTest(int x, int y) const
{
    return PtInRect(&rcCell, POINT{x, y});
}

void CImageCellObj::vBeginDraw(CDC* pDC)
{
    pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
}

void CImageCellObj::vEndDraw(CDC* pDC)
{
    pDC->RestoreDC(-1);
}

void CImageCellObj::vDraw(CDC* pDC, const QString& strPath, BOOL bSelected, CPictureCache& cache)
{
    vBeginDraw(pDC);
    pDC->FillSolidRect(&rcCell, bSelected ? g_sysColors.clrSelectedFill : g_sysColors.clrLightFill);
    // Already scaled to the area, so the blend copies pixel for pixel. A
    // picture still being decoded shows as an empty frame meanwhile.
    SPictureFound found;
    const RECT rc = PictureRect();
    if (const CBitmap32* picture = pFindPicture(strPath, cache, &found))
        pDC->AlphaBlendStretch(&rc, *picture, FALSE);
    else if (found.state == PictureState::Pending)
        pDC->Draw3dRect(&rc, g_sysColors.clrShadow, g_sysColors.clrShadow);
    else if (!IsRectEmpty(&rc) && !strPath.isEmpty())
        vDrawBroken(pDC, rc);
    vEndDraw(pDC);
}

void CImageCellObj::vDrawBroken(CDC* pDC, const RECT& rc)
{
    // A red frame crossed out: the file is there but is no picture we can show.
    const COLORREF clrMark = RGB(200, 0, 0);
    pDC->Draw3dRect(&rc, clrMark, clrMark);
    const int nSide = std::min(RectWidth(rc), RectHeight(rc)) - 8;
    const int x0 = rc.left + (RectWidth(rc) - nSide) / 2;
    const int y0 = rc.top + (RectHeight(rc) - nSide) / 2;
    for (int i = 0; i < nSide - 1; ++i) {
        pDC->FillSolidRect(x0 + i, y0 + i, 2, 2, clrMark);
        pDC->FillSolidRect(x0 + nSide - 2 - i, y0 + i, 2, 2, clrMark);
    }
}

RECT CImageCellObj::PictureRect() const
{
    RECT rc = rcCell;
    InflateRect(&rc, -nImageInset, -nImageInset);
    return rc;
}

const CBitmap32* CImageCellObj::pFindPicture(const QString& strPath, CPictureCache& cache, SPictureFound* pFound) const
{
    const RECT rc = PictureRect();
    if (IsRectEmpty(&rc) || strPath.isEmpty())
        return nullptr;
    return cache.Find(strPath, RectWidth(rc), RectHeight(rc), pFound);
}

void CImageCellObj::vDrawFocus(CDC* pDC)
{
    RECT rc = rcCell;
    pDC->Draw3dRect(&rc, RGB(0, 0, 0), RGB(0, 0, 0));
    InflateRect(&rc, -1, -1);
    pDC->Draw3dRect(&rc, RGB(255, 255, 255), RGB(255, 255, 255));
    InflateRect(&rc, -nImageInset, -nImageInset);
    pDC->Draw3dRect(&rc, RGB(255, 255, 255), RGB(255, 255, 255));
    pDC->DrawFocusRect(&rc);
}
