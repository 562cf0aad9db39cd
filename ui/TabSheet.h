// A tab control that owns one page dialog per tab: places each page in the
// display area, keeps exactly one visible and follows the user's pick.
#pragma once

#include "platform/ui/TabCtrl.h"

#include <vector>

class CTabSheet : public CTabCtrl {
public:
    CTabSheet() = default;
    ~CTabSheet() override;

    // The page must already be a child of this sheet; answers TRUE.
    BOOL AddPage(const QString& title, CWnd* pPage);
    // Answers the page visible before, the index itself when it is visible
    // already, or -1 for an index outside the pages (nothing changes).
    int SetActivePage(int nIndex);
    int GetPageCount() const { return static_cast<int>(arrPages.size()); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The display area of a rectangle of this sheet: below the tabs, inside the frame.
    void CalcPageRect(RECT* rc) const;

    std::vector<CWnd*> arrPages;
    int nCurPage = 0;

private:
    void PlacePage(int nIndex);
    void vOnSelChange();
    // Hides the current page and shows the one at the index, which becomes current.
    void vShowPage(int nIndex);
};
