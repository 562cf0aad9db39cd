// Tab control operations on the tab widget.
#include "platform/ui/TabCtrl.h"

#include "platform/ui/TabControlWidget.h"

#include <QTabBar>

CTabControlWidget* CTabCtrl::Widget() const
{
    return dynamic_cast<CTabControlWidget*>(GetSafeWidget());
}

LONG CTabCtrl::InsertItem(int nItem, const QString& text)
{
    CTabControlWidget* w = Widget();
    if (!w || nItem < 0)
        return -1;
    const bool bFirst = w->TabBar()->count() == 0;
    if (bFirst)
        w->TabBar()->blockSignals(true);
    const int index = w->TabBar()->insertTab(nItem, text);
    if (bFirst)
        w->TabBar()->blockSignals(false);
    w->TabBar()->setGeometry(2, 0, w->width() - 4, w->TabBar()->sizeHint().height());
    return index;
}

int CTabCtrl::GetCurSel() const
{
    CTabControlWidget* w = Widget();
    return w ? w->TabBar()->currentIndex() : -1;
}

int CTabCtrl::SetCurSel(int nItem)
{
    CTabControlWidget* w = Widget();
    if (!w || nItem < 0 || nItem >= w->TabBar()->count())
        return -1;
    const int old = w->TabBar()->currentIndex();
    w->vSetCurrentQuietly(nItem);
    return old;
}

BOOL CTabCtrl::GetItemRect(int nItem, RECT* rc) const
{
    CTabControlWidget* w = Widget();
    if (!w || nItem < 0 || nItem >= w->TabBar()->count())
        return FALSE;
    const QRect r = w->TabBar()->tabRect(nItem).translated(w->TabBar()->pos());
    *rc = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return TRUE;
}
