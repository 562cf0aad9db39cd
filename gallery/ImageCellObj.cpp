// Painting and hit-testing of one gallery cell.
#include "gallery/ImageCellObj.h"

#include "platform/image/PictureCache.h"
#include "platform/ui/DC.h"
#include "ui/SysColorSet.h"

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
    vEndDraw(pDC);
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
