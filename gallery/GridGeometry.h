// The gallery grid's arithmetic: how many columns and rows a catalogue needs,
// how large the grid is, where each cell lies and where an arrow key leads.
#pragma once

#include "platform/base/Win32.h"

namespace GridGeometry {

struct Dimensions {
    int nCols;
    int nRows;
};

// Columns are the square root of the count rounded up; rows are as many as
// the count fills. A count of 0 keeps the 3 x 3 of an empty grid.
Dimensions Size(int nCount);

// The whole grid: cells plus the margin on every side, and 10 more pixels at
// the bottom for the grip band of a pop-up.
RECT ControlRect(int nCellWidth, int nCellHeight, Dimensions dims, int nMargin, BOOL bPopup);

// The area that holds the cells inside rcControl.
RECT GridRect(const RECT& rcControl, int nMargin, BOOL bPopup);

// The cell at index i, filled row by row from rcGrid's top-left corner.
RECT CellRect(const RECT& rcGrid, int nCellWidth, int nCellHeight, int nCols, int i);

// Where an arrow key moves the selection from index k, wrapping at the ends
// of rows and columns. A target past the last picture of a partly filled
// last row wraps on the same way instead, so no missing cell is ever chosen.
// -1 when the key is no arrow or the catalogue is empty.
int nArrowTarget(int k, UINT vk, Dimensions dims, int nCount);

// A grid that fits in nMaxWidth x nMaxHeight: as few columns fewer as its
// width needs (rows grow to hold every picture), and the height cut to what
// fits, at least one row; the cells then scroll. A grid that fits keeps its
// dimensions and rectangle. *pContentHeight: the height the cells' rows need.
struct Fitted {
    Dimensions dims;
    RECT rcControl;
    int nContentHeight;
};
Fitted FitInto(int nCount, int nCellWidth, int nCellHeight, int nMargin, BOOL bPopup, int nMaxWidth, int nMaxHeight);

// The top-left corner for a window of w x h that would like to stand at pt:
// moved left and up as far as needed to lie inside rcWork (a window larger
// than rcWork keeps to its left and top edges).
POINT PlaceInside(POINT pt, int w, int h, const RECT& rcWork);

} // namespace GridGeometry
