// The gallery grid: catalogue, layout, painting, selection and notifications.
#include "gallery/ImageTypeControl.h"

#include "diag/ExceptionReport.h"
#include "platform/base/KeyNames.h"
#include "platform/ui/DC.h"
#include "platform/ui/Wnd.h"
#include "ui/SysColorSet.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// The text from the last '.' of the file name on, as the platform's path
// splitter gives it (".png" for a file named ".png").
QString Extension(const QString& strName)
{
    const int dot = strName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : strName.mid(dot);
}

} // namespace

CImageTypeControl::CImageTypeControl()
{
    pictures.fnArrived = [this](const QString& strPath) { vOnPictureArrived(strPath); };
}

CImageTypeControl::~CImageTypeControl()
{
    vecCells.clear();
    mapImagePath.clear();
}

BOOL CImageTypeControl::bInit(int nWidth, int nHeight, const QString& strFolder, BOOL bPopupGrid)
{
    return bInit(nWidth, nHeight, strFolder.isEmpty() ? QStringList() : QStringList{strFolder}, bPopupGrid);
}

BOOL CImageTypeControl::bInit(int nWidth, int nHeight, const QStringList& folders, BOOL bPopupGrid)
{
    BOOL bDone = FALSE;
    scannedFolders = folders;
    bScannedPopup = bPopupGrid;
    vReportExceptions("", "bInit", [&] {
        nCellWidth = nWidth;
        nCellHeight = nHeight;
        for (const QString& folder : folders)
            vAddFolder(folder);
        if (nCount > 0) {
            const GridGeometry::Dimensions dims = GridGeometry::Size(nCount);
            nCols = dims.nCols;
            nRows = dims.nRows;
            rcControl = GridGeometry::ControlRect(nCellWidth, nCellHeight, dims, nMargin, bPopupGrid);
            nContentHeight = nCellHeight * nRows;
        }
        nSelected = 0;
        bDone = TRUE;
    });
    return bDone;
}

void CImageTypeControl::vAddFolder(const QString& strFolder)
{
    if (strFolder.isEmpty())
        return;
    // Sorted by name so the gallery keeps its order from run to run.
    QStringList names = QDir(strFolder).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    for (const QString& name : names) {
        if (Extension(name).compare(QStringLiteral(".png"), Qt::CaseInsensitive) == 0)
            vAddImage(strFolder + QLatin1Char('/') + name);
    }
}

BOOL CImageTypeControl::bRescan()
{
    const QString selected = GetSelectedPath();
    const RECT rcBefore = rcControl;
    vecCells.clear();
    mapImagePath.clear();
    nCount = 0;
    nCols = 3;
    nRows = 3;
    rcControl = RECT{};
    bInit(nCellWidth, nCellHeight, QStringList(scannedFolders), bScannedPopup);
    vLayout(); // cell ids first: the selection is kept by id
    bSelectPathOrFirst(selected);
    return rcBefore.right != rcControl.right || rcBefore.bottom != rcControl.bottom;
}

void CImageTypeControl::vAddImage(const QString& strPath)
{
    vReportExceptions("", "vAddImage", [&] {
        mapImagePath[nCount] = strPath;
        indexOfPath.insert(strPath, nCount);
        ++nCount;
        vecCells.push_back(std::make_unique<CImageCellObj>());
    });
}

QString CImageTypeControl::PathAt(int nIndex) const
{
    const auto it = mapImagePath.find(nIndex);
    return it == mapImagePath.end() ? QString() : it->second;
}

BOOL CImageTypeControl::bSelectPathOrFirst(const QString& strPath)
{
    for (int i = 0; i < nCount && i < static_cast<int>(vecCells.size()); ++i) {
        if (PathAt(i).compare(strPath, Qt::CaseInsensitive) == 0) {
            nSelected = vecCells[i]->nId;
            vNameSelection();
            return FALSE;
        }
    }
    if (nCount > 0 && !vecCells.empty()) {
        nSelected = vecCells.front()->nId;
        vNameSelection();
        return TRUE;
    }
    return FALSE;
}

QString CImageTypeControl::GetSelectedPath() const
{
    return PathAt(nSelected);
}

void CImageTypeControl::vAttach(CWnd* pWnd, int nSelectedId, BOOL bPopupGrid)
{
    pOwnerWnd = pWnd;
    nSelected = nSelectedId;
    bPopup = bPopupGrid;
    vLayout();
}

void CImageTypeControl::vLayout()
{
    vNumberCells();
    vLayoutCells(GridGeometry::GridRect(rcControl, nMargin, bPopup));
}

void CImageTypeControl::vNumberCells()
{
    for (std::size_t i = 0; i < vecCells.size(); ++i)
        vecCells[i]->nId = static_cast<int>(i);
}

void CImageTypeControl::vLayoutCells(RECT rc)
{
    rcGrid = rc;
    // The rows start above the area by what is scrolled away.
    OffsetRect(&rc, 0, -nScrollY);
    for (std::size_t i = 0; i < vecCells.size(); ++i)
        vecCells[i]->rcCell = GridGeometry::CellRect(rc, nCellWidth, nCellHeight, nCols, static_cast<int>(i));
}

void CImageTypeControl::vFitInto(int nMaxWidth, int nMaxHeight)
{
    const GridGeometry::Fitted fit =
        GridGeometry::FitInto(nCount, nCellWidth, nCellHeight, nMargin, TRUE, nMaxWidth, nMaxHeight);
    if (nCount == 0)
        return;
    nCols = fit.dims.nCols;
    nRows = fit.dims.nRows;
    rcControl = fit.rcControl;
    nContentHeight = fit.nContentHeight;
    rcGrid = GridGeometry::GridRect(rcControl, nMargin, TRUE);
    vScrollTo(nScrollY);
}

int CImageTypeControl::nMaxScroll() const
{
    return std::max(0, nContentHeight - RectHeight(rcGrid));
}

void CImageTypeControl::vScrollTo(int nY)
{
    nScrollY = std::clamp(nY, 0, nMaxScroll());
    vLayout();
}

void CImageTypeControl::vScrollBy(int dy)
{
    const int nOld = nScrollY;
    vScrollTo(nScrollY + dy);
    if (nScrollY != nOld && pOwnerWnd)
        pOwnerWnd->InvalidateRect(&rcGrid, TRUE);
}

void CImageTypeControl::vEnsureVisible(int nId)
{
    const CImageCellObj* cell = pCellById(nId);
    if (!cell)
        return;
    if (cell->rcCell.top < rcGrid.top)
        vScrollBy(cell->rcCell.top - rcGrid.top);
    else if (cell->rcCell.bottom > rcGrid.bottom)
        vScrollBy(cell->rcCell.bottom - rcGrid.bottom);
}

void CImageTypeControl::vOnPictureArrived(const QString& strPath)
{
    const auto it = indexOfPath.constFind(strPath);
    if (it == indexOfPath.constEnd() || *it >= static_cast<int>(vecCells.size()))
        return;
    RECT visible;
    const RECT rc = vecCells[*it]->rcCell;
    if (IntersectRect(&visible, &rc, &rcGrid))
        vInvalidateCell(rc);
}

void CImageTypeControl::vRelayout()
{
    vLayout();
}

void CImageTypeControl::vPaint(CDC* pDC)
{
    RECT rc = rcControl;
    InflateRect(&rc, -1, -1);
    pDC->FillSolidRect(&rc, g_sysColors.clrFace);
    InflateRect(&rc, -1, -1);
    pDC->FillSolidRect(&rc, g_sysColors.clrLightFill);
    if (bPopup) {
        const RECT band{rcControl.left + nMargin, rcControl.top + 4, rcControl.right - nMargin, rcControl.top + 11};
        pDC->FillSolidRect(&band, g_sysColors.clrFace);
        vFillPattern(pDC, band.left + 40, band.top, band.right - 40, band.bottom);
    }
    // Cells outside the clip box would be copied nowhere: a large gallery
    // repaints only the cells a selection change touched. Scrolled cells
    // stay inside the cells' area.
    pDC->SaveDC();
    pDC->IntersectClipRect(&rcGrid);
    RECT clip{};
    pDC->GetClipBox(&clip);
    CImageCellObj* pFocus = nullptr;
    for (std::size_t i = 0; i < vecCells.size(); ++i) {
        CImageCellObj& cell = *vecCells[i];
        RECT visible;
        if (!IntersectRect(&visible, &clip, &cell.rcCell))
            continue;
        const BOOL bSel = cell.nId == nSelected;
        cell.vDraw(pDC, PathAt(static_cast<int>(i)), bSel, pictures);
        if (bSel)
            pFocus = &cell;
    }
    if (pFocus)
        pFocus->vDrawFocus(pDC);
    pDC->RestoreDC(-1);
}

void CImageTypeControl::vWarm()
{
    for (std::size_t i = 0; i < vecCells.size(); ++i) {
        RECT visible;
        if (IntersectRect(&visible, &vecCells[i]->rcCell, &rcGrid))
            vecCells[i]->pFindPicture(PathAt(static_cast<int>(i)), pictures);
    }
}

void CImageTypeControl::vFillPattern(CDC* pDC, int left, int top, int right, int bottom)
{
    const COLORREF clrText = pDC->SetTextColor(g_sysColors.clrShadow);
    const COLORREF clrBk = pDC->SetBkColor(g_sysColors.clrFace);
    const RECT rc{left, top, right, bottom};
    if (!g_sysColors.brushGrip.IsValid())
        g_sysColors.CreateGripBrush();
    pDC->FillRect(&rc, &g_sysColors.brushGrip);
    pDC->SetTextColor(clrText);
    pDC->SetBkColor(clrBk);
}

CImageCellObj* CImageTypeControl::pCellById(int nId) const
{
    for (const auto& cell : vecCells)
        if (cell->nId == nId)
            return cell.get();
    return nullptr;
}

int CImageTypeControl::nIndexById(int nId) const
{
    for (std::size_t i = 0; i < vecCells.size(); ++i)
        if (vecCells[i]->nId == nId)
            return static_cast<int>(i);
    return -1;
}

void CImageTypeControl::vInvalidateCell(RECT rc)
{
    if (!pOwnerWnd)
        return;
    InflateRect(&rc, 2, 2);
    pOwnerWnd->InvalidateRect(&rc, TRUE);
}

void CImageTypeControl::vSelect(int nId)
{
    CImageCellObj* pOld = pCellById(nSelected);
    CImageCellObj* pNew = pCellById(nId);
    nSelected = nId;
    if (pNew)
        vInvalidateCell(pNew->rcCell);
    if (pOld)
        vInvalidateCell(pOld->rcCell);
    vNameSelection();
}

void CImageTypeControl::vNameSelection()
{
    // What a screen reader says of the gallery: the selected file, and
    // whether it can be shown.
    const CImageCellObj* cell = pCellById(nSelected);
    if (!pOwnerWnd || !pOwnerWnd->IsWindow() || !cell)
        return;
    const QString path = GetSelectedPath();
    SPictureFound found;
    cell->pFindPicture(path, pictures, &found);
    const QString name = QFileInfo(path).fileName();
    pOwnerWnd->SetWindowText(found.state == PictureState::Failed && !strCannotShow.isEmpty()
            ? name + QStringLiteral(": ") + strCannotShow
            : name);
}

CImageCellObj* CImageTypeControl::pSelectAt(int x, int y)
{
    // Parts of cells scrolled out of the cells' area cannot be hit.
    if (!PtInRect(&rcGrid, POINT{x, y}))
        return nullptr;
    CImageCellObj* pOld = pCellById(nSelected);
    CImageCellObj* pHit = nullptr;
    for (const auto& cell : vecCells) {
        if (cell->bHitTest(x, y)) {
            pHit = cell.get();
            break;
        }
    }
    if (!pHit)
        return nullptr;
    if (pHit != pOld)
        vSelect(pHit->nId);
    return pHit;
}

void CImageTypeControl::vOnMouseMove(int x, int y)
{
    pSelectAt(x, y);
}

void CImageTypeControl::vOnLButtonUp(int x, int y)
{
    if (!PtInRect(&rcGrid, POINT{x, y}))
        return;
    for (const auto& cell : vecCells) {
        if (cell->bHitTest(x, y)) {
            vCommit(static_cast<WPARAM>(cell->nId), 0);
            return;
        }
    }
}

void CImageTypeControl::vOnKeyDown(UINT nVirtKey)
{
    switch (nVirtKey) {
    case VK_CANCEL:
    case VK_ESCAPE:
        if (bPopup)
            vCancel(static_cast<WPARAM>(nSelected), 0);
        return;
    case VK_RETURN:
        if (bPopup)
            vCommit(static_cast<WPARAM>(nSelected), 0);
        return;
    default:
        break;
    }
    const int k = std::max(nIndexById(nSelected), 0);
    const int target = GridGeometry::nArrowTarget(k, nVirtKey, {nCols, nRows}, static_cast<int>(vecCells.size()));
    if (target >= 0) {
        vSelect(vecCells[target]->nId);
        vEnsureVisible(vecCells[target]->nId);
    }
}

void CImageTypeControl::vCommit(WPARAM wParam, LPARAM lParam)
{
    vPostAndHide(WM_IMAGETYPE_SELECTED, wParam, lParam);
}

void CImageTypeControl::vCancel(WPARAM wParam, LPARAM lParam)
{
    vPostAndHide(WM_IMAGETYPE_CANCELLED, wParam, lParam);
}

void CImageTypeControl::vPostAndHide(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!pOwnerWnd)
        return;
    pOwnerWnd->PostMessage(message, wParam, lParam);
    if (bPopup)
        pOwnerWnd->ShowWindow(SW_HIDE);
}
