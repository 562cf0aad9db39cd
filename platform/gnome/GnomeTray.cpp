#include "platform/gnome/GnomeTray.h"

#include "platform/gnome/GnomeShellLink.h"
#include "platform/ui/Menu.h"

CGnomeTray::CGnomeTray(std::function<CGnomeShellLink*()> link) : getLink(std::move(link)) {}

BOOL CGnomeTray::bShowIcon(const QString& strTip, std::function<void()> onActivate)
{
    CGnomeShellLink* link = getLink();
    if (!link || !link->bPresent())
        return FALSE;
    link->onIndicator = std::move(onActivate);
    link->onMenuCommand = [this](UINT nId) {
        if (onMenuChoice)
            onMenuChoice(nId);
    };
    link->vSetIndicator(TRUE, strTip);
    bShown = TRUE;
    return TRUE;
}

void CGnomeTray::vRemoveIcon()
{
    if (!bShown)
        return;
    bShown = FALSE;
    if (CGnomeShellLink* link = getLink()) {
        link->onIndicator = nullptr;
        link->onMenuCommand = nullptr;
        link->vSetIndicator(FALSE, QString());
    }
}

void CGnomeTray::vNotify(const QString& strTitle, const QString& strText)
{
    if (CGnomeShellLink* link = getLink())
        link->vNotify(strTitle, strText);
}

BOOL CGnomeTray::bShowMenu(const CMenu& menu, std::function<void(UINT)> onChoose)
{
    CGnomeShellLink* link = getLink();
    if (!bShown || !link)
        return FALSE;
    // The top bar shows one level: submenus are not offered there.
    std::vector<CGnomeShellLink::SMenuItem> items;
    for (int nPos = 0; nPos < menu.GetMenuItemCount(); ++nPos) {
        const CMenu::Item* item = menu.GetItem(nPos);
        if (item->bSeparator)
            items.push_back({});
        else if (!item->pSubMenu)
            items.push_back({item->nId, item->strText, item->bChecked});
    }
    onMenuChoice = std::move(onChoose);
    link->vShowMenu(items);
    return TRUE;
}
