// Pop-up menus: the menu data turned into a QMenu for the time it is shown.
#include "platform/ui/PopupMenu.h"

#include "platform/ui/Menu.h"
#include "platform/ui/TrayStandIn.h"
#include "platform/ui/Wnd.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {

PopupMenuHook g_hook = nullptr;

void vFill(QMenu& out, const CMenu& menu)
{
    for (int nPos = 0; nPos < menu.GetMenuItemCount(); ++nPos) {
        const CMenu::Item* item = menu.GetItem(nPos);
        if (item->bSeparator) {
            out.addSeparator();
        } else if (item->pSubMenu) {
            vFill(*out.addMenu(item->strText), *item->pSubMenu);
        } else {
            QAction* action = out.addAction(item->strText);
            action->setData(item->nId);
            action->setCheckable(item->bChecked);
            action->setChecked(item->bChecked);
        }
    }
}

} // namespace

void SetPopupMenuHook(PopupMenuHook hook)
{
    g_hook = hook;
}

BOOL TrackPopupMenu(const CMenu& menu, UINT uFlags, int x, int y, CWnd* pOwner)
{
    UINT nChosen = 0;
    const auto choose = [pOwner](UINT nId) {
        if (nId && pOwner)
            pOwner->PostMessage(WM_COMMAND, nId, 0);
    };
    // The menu of the stand-in's icon opens there; the choice comes later.
    if (bTakeStandInMenuPending() && GetTrayStandIn() && !g_hook)
        return GetTrayStandIn()->bShowMenu(menu, choose);
    if (g_hook) {
        nChosen = g_hook(menu, x, y);
    } else {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return FALSE;
        QMenu popup;
        vFill(popup, menu);
        QPoint at(x, y);
        if (uFlags & TPM_RIGHTALIGN)
            at.rx() -= popup.sizeHint().width();
        if (QAction* action = popup.exec(at))
            nChosen = action->data().toUInt();
    }
    choose(nChosen);
    return TRUE;
}
