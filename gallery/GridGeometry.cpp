// The gallery grid's arithmetic, kept apart from windows so it is tested alone.
#include "gallery/GridGeometry.h"

#include "platform/base/KeyNames.h"

#include <algorithm>
#include <cmath>

namespace GridGeometry {

namespace {
constexpr int nGripBand = 10;
}

Dimensions Size(int nCount)
{
    if (nCount <= 0)
        return {3, 3};
    const double root = std::sqrt(static_cast<double>(nCount));
    int nCols = static_cast<int>(root);
    if (root - nCols > 0.0)
        ++nCols;
    const int nRows = nCount / nCols + (nCount % nCols ? 1 : 0);
    return {nCols, nRows};
}

RECT ControlRect(int nCellWidth, int nCellHeight, Dimensions dims, int nMargin, BOOL bPopup)
{
    RECT rc{0, 0, nCellWidth * dims.nCols + 2 * nMargin, nCellHeight * dims.nRows + 2 * nMargin};
    if (bPopup)
        rc.bottom += nGripBand;
    return rc;
}

RECT GridRect(const RECT& rcControl, int nMargin, BOOL bPopup)
{
    return RECT{rcControl.left + nMargin, rcControl.top + nMargin + (bPopup ? nGripBand : 0),
        rcControl.right - nMargin, rcControl.bottom - nMargin};
}

RECT CellRect(const RECT& rcGrid, int nCellWidth, int nCellHeight, int nCols, int i)
{
    const int c = i % nCols;
    const int r = i / nCols;
    const LONG x = rcGrid.left + c * nCellWidth;
    const LONG y = rcGrid.top + r * nCellHeight;
    return RECT{x, y, x + nCellWidth, y + nCellHeight};
}

int nArrowTarget(int k, UINT vk, Dimensions dims, int nCount)
{
    if (nCount <= 0 || dims.nCols <= 0)
        return -1;
    int row = k / dims.nCols;
    int col = k % dims.nCols;
    switch (vk) {
    case VK_LEFT:
        if (col > 0) {
            --col;
        } else if (row > 0) {
            --row;
            col = dims.nCols - 1;
        }
        break;
    case VK_UP:
        row = row > 0 ? row - 1 : dims.nRows - 1;
        break;
    case VK_RIGHT:
        if (col < dims.nCols - 1) {
            ++col;
        } else if (row == dims.nRows - 1) {
            row = 0;
            col = 0;
        } else {
            ++row;
            col = 0;
        }
        break;
    case VK_DOWN:
        row = row < dims.nRows - 1 ? row + 1 : 0;
        break;
    default:
        return -1;
    }
    const int target = row * dims.nCols + col;
    if (target < nCount)
        return target;
    // A missing cell of a partly filled last row: carry on the way the key
    // wraps, to the first cell (Right), the top row (Down) or the row above
    // the missing cell (Up).
    switch (vk) {
    case VK_RIGHT:
        return 0;
    case VK_DOWN:
        return col;
    case VK_UP:
        return dims.nRows >= 2 ? (dims.nRows - 2) * dims.nCols + col : -1;
    default:
        return -1;
    }
}

Fitted FitInto(int nCount, int nCellWidth, int nCellHeight, int nMargin, BOOL bPopup, int nMaxWidth, int nMaxHeight)
{
    Dimensions dims = Size(nCount);
    if (nCount > 0 && nCellWidth > 0 && nCellWidth * dims.nCols + 2 * nMargin > nMaxWidth) {
        dims.nCols = std::max(1, (nMaxWidth - 2 * nMargin) / nCellWidth);
        dims.nRows = (nCount + dims.nCols - 1) / dims.nCols;
    }
    RECT rc = nCount > 0 ? ControlRect(nCellWidth, nCellHeight, dims, nMargin, bPopup) : RECT{};
    const int nContentHeight = nCellHeight * dims.nRows;
    const int nMinHeight = RectHeight(ControlRect(nCellWidth, nCellHeight, {dims.nCols, 1}, nMargin, bPopup));
    if (nCount > 0 && RectHeight(rc) > nMaxHeight)
        rc.bottom = rc.top + std::max(nMaxHeight, nMinHeight);
    return {dims, rc, nContentHeight};
}

POINT PlaceInside(POINT pt, int w, int h, const RECT& rcWork)
{
    pt.x = std::max(std::min<LONG>(pt.x, rcWork.right - w), rcWork.left);
    pt.y = std::max(std::min<LONG>(pt.y, rcWork.bottom - h), rcWork.top);
    return pt;
}

} // namespace GridGeometry
