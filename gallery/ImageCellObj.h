// One cell of the gallery grid: its rectangle, its id, and how it paints its
// picture, its fill and, when selected, its focus frames.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

class CBitmap32;
class CDC;
class CPictureCache;
struct SPictureFound;

class CImageCellObj {
public:
    virtual ~CImageCellObj() = default;

    // The point lies in rcCell (left and top edges in, right and bottom out).
    virtual BOOL bHitTest(int x, int y) const;
    virtual void vBeginDraw(CDC* pDC);
    // The fill (selected or light) and the picture stretched into the cell
    // less nImageInset on every side; an undecodable picture leaves the
    // fill and a crossed-out frame, one not decoded yet an empty frame.
    virtual void vDraw(CDC* pDC, const QString& strPath, BOOL bSelected, CPictureCache& cache);
    // Where the picture goes: rcCell less nImageInset on every side.
    RECT PictureRect() const;
    // The picture at strPath scaled to PictureRect(), from the cache (which
    // asks for it when it has not got it); null while it is decoded, when
    // there is none or no room for it.
    const CBitmap32* pFindPicture(const QString& strPath, CPictureCache& cache, SPictureFound* pFound = nullptr) const;
    // Black frame on the cell's edge, white frames 1 and 3 pixels inside, and
    // the dotted focus frame on the innermost one.
    virtual void vDrawFocus(CDC* pDC);
    virtual void vEndDraw(CDC* pDC);
    // The mark of a file that does not decode, inside rc.
    static void vDrawBroken(CDC* pDC, const RECT& rc);

    RECT rcCell{};
    int nId = 0;
    int nImageInset = 2;
};
