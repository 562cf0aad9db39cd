// The gallery grid: the catalogue of pointer pictures found in a folder, the
// cells laid out in rows, the selection moved by mouse and arrow keys, and
// the choice or cancellation posted to the window that shows it.
#pragma once

#include "gallery/GridGeometry.h"
#include "gallery/ImageCellObj.h"
#include "platform/image/PictureCache.h"
#include "ui/MessageIds.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class CDC;
class CWnd;

class CImageTypeControl {
public:
    CImageTypeControl();
    virtual ~CImageTypeControl();
    CImageTypeControl(const CImageTypeControl&) = delete;
    CImageTypeControl& operator=(const CImageTypeControl&) = delete;

    // Catalogues the folder's "*.png" entries (extension in any case, folders
    // included) in file-name order, ignoring case, and sizes the grid.
    BOOL bInit(int nWidth, int nHeight, const QString& strFolder, BOOL bPopup);
    // The same over several folders: each folder's pictures, in that order
    // rule, after those of the folders before it.
    BOOL bInit(int nWidth, int nHeight, const QStringList& folders, BOOL bPopup);
    // Catalogues the folders of the last bInit again, so pictures added or
    // removed since then show; the selected picture stays selected when it
    // is still there. TRUE when the grid's size changed.
    BOOL bRescan();
    void vAddImage(const QString& strPath);
    // Selects the picture stored under strPath (case ignored) and answers
    // FALSE; otherwise selects the first picture and answers TRUE. An empty
    // catalogue answers FALSE and changes nothing.
    BOOL bSelectPathOrFirst(const QString& strPath);
    QString GetSelectedPath() const;

    virtual void vAttach(CWnd* pWnd, int nSelectedId, BOOL bPopupGrid);
    virtual void vLayout();
    virtual void vLayoutCells(RECT rc);
    virtual void vNumberCells();
    // Paints the whole grid, in the window's client coordinates.
    virtual void vPaint(CDC* pDC);
    virtual void vRelayout();
    // Asks for the pictures of the cells in view without painting, so the
    // first showing finds them decoded or on their way.
    void vWarm();
    // Fits the grid into nMaxWidth x nMaxHeight (fewer columns, then a cut
    // height whose cells scroll); rcControl becomes the size to show.
    void vFitInto(int nMaxWidth, int nMaxHeight);
    // Scrolls the cells by dy pixels (down for dy > 0), within the rows.
    void vScrollBy(int dy);
    // Scrolls so that the cell lies wholly in view.
    void vEnsureVisible(int nId);
    virtual CImageCellObj* pSelectAt(int x, int y);
    virtual void vCommit(WPARAM wParam, LPARAM lParam);
    virtual void vCancel(WPARAM wParam, LPARAM lParam);
    virtual void vFillPattern(CDC* pDC, int left, int top, int right, int bottom);

    void vSelect(int nId);
    // Names the owner window after the selected file (for screen readers).
    void vNameSelection();
    void vInvalidateCell(RECT rc);
    void vOnKeyDown(UINT nVirtKey);
    void vOnMouseMove(int x, int y);
    void vOnLButtonUp(int x, int y);

    int nCellWidth = 0;
    int nCellHeight = 0;
    int nCount = 0;
    std::map<int, QString> mapImagePath;
    std::vector<std::unique_ptr<CImageCellObj>> vecCells;
    RECT rcControl{};
    int nCols = 3;
    int nRows = 3;
    int nMargin = 8;
    int nSelected = 0;
    RECT rcGrid{};
    CWnd* pOwnerWnd = nullptr;
    // Said after the name of a selected file that does not decode.
    QString strCannotShow;
    BOOL bPopup = FALSE;
    CPictureCache pictures;
    // How far the cells are scrolled up, and the height of all their rows.
    int nScrollY = 0;
    int nContentHeight = 0;

private:
    void vAddFolder(const QString& strFolder);
    QStringList scannedFolders;
    BOOL bScannedPopup = FALSE;
    QString PathAt(int nIndex) const;
    // Repaints the cells of a picture that has just been decoded.
    void vOnPictureArrived(const QString& strPath);
    int nMaxScroll() const;
    void vScrollTo(int nY);
    CImageCellObj* pCellById(int nId) const;
    int nIndexById(int nId) const;
    // The window hears of a choice or a cancellation; a pop-up then hides.
    void vPostAndHide(UINT message, WPARAM wParam, LPARAM lParam);

    QHash<QString, int> indexOfPath;
};
