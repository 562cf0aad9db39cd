// Pages in tabs: adding, placing and switching.
#include "ui/TabSheet.h"

#include "diag/ExceptionReport.h"

CTabSheet::~CTabSheet()
{
    arrPages.clear();
}

BOOL CTabSheet::AddPage(const QString& title, CWnd* pPage)
{
    const int index = GetPageCount();
    arrPages.push_back(pPage);
    InsertItem(index, title);
    PlacePage(index);
    if (pPage)
        pPage->ShowWindow(index == 0 ? SW_SHOW : SW_HIDE);
    return TRUE;
}

void CTabSheet::PlacePage(int nIndex)
{
    RECT rc;
    GetWindowRect(&rc);
    ScreenToClient(&rc);
    CalcPageRect(&rc);
    if (CWnd* page = arrPages[static_cast<size_t>(nIndex)])
        page->MoveWindow(&rc, TRUE);
}

void CTabSheet::CalcPageRect(RECT* rc) const
{
    vReportExceptions("", "", [&] {
        RECT tab;
        // Without a tab there is nothing to measure: the page covers the sheet.
        if (!GetItemRect(0, &tab))
            return;
        const LONG tabHeight = tab.bottom - tab.top;
        RECT shrunk = *rc;
        shrunk.left += 4;
        shrunk.top += tabHeight + 6;
        shrunk.right -= 6;
        shrunk.bottom -= 6;
        *rc = shrunk;
    });
}

int CTabSheet::SetActivePage(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetPageCount())
        return -1;
    if (nIndex == nCurPage)
        return nIndex;
    const int previous = nCurPage;
    vShowPage(nIndex);
    SetCurSel(nIndex);
    return previous;
}

void CTabSheet::vOnSelChange()
{
    const int selected = GetCurSel();
    if (selected == nCurPage || selected < 0 || selected >= GetPageCount())
        return;
    vShowPage(selected);
}

void CTabSheet::vShowPage(int nIndex)
{
    if (CWnd* page = arrPages[static_cast<size_t>(nCurPage)])
        page->ShowWindow(SW_HIDE);
    nCurPage = nIndex;
    if (CWnd* page = arrPages[static_cast<size_t>(nCurPage)])
        page->ShowWindow(SW_SHOW);
}

LRESULT CTabSheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == OCM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) {
        vOnSelChange();
        return 0;
    }
    return CTabCtrl::WindowProc(message, wParam, lParam);
}
