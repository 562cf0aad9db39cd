// The menu data model behind the tray menu and its translation.
#include "platform/ui/Menu.h"

CMenu::CMenu(const CMenu& other)
{
    *this = other;
}

CMenu& CMenu::operator=(const CMenu& other)
{
    // Built apart first, so that a menu assigned to itself keeps its items.
    std::vector<Item> copy;
    copy.reserve(other.items.size());
    for (const Item& src : other.items)
        copy.push_back(Item{src.nId, src.strText, src.bSeparator, src.bChecked,
            src.pSubMenu ? std::make_unique<CMenu>(*src.pSubMenu) : nullptr});
    items = std::move(copy);
    return *this;
}

void CMenu::AppendItem(UINT nId, const QString& text)
{
    Item item;
    item.nId = nId;
    item.strText = text;
    items.push_back(std::move(item));
}

void CMenu::AppendSeparator()
{
    Item item;
    item.bSeparator = TRUE;
    items.push_back(std::move(item));
}

CMenu& CMenu::AppendPopup(const QString& text, UINT nId)
{
    Item item;
    item.nId = nId;
    item.strText = text;
    item.pSubMenu = std::make_unique<CMenu>();
    CMenu& sub = *item.pSubMenu;
    items.push_back(std::move(item));
    return sub;
}

const CMenu::Item* CMenu::GetItem(int nPos) const
{
    if (nPos < 0 || nPos >= GetMenuItemCount())
        return nullptr;
    return &items[static_cast<size_t>(nPos)];
}

CMenu* CMenu::GetSubMenu(int nPos) const
{
    const Item* item = GetItem(nPos);
    return item ? item->pSubMenu.get() : nullptr;
}

BOOL CMenu::SetMenuItemText(int nPos, const QString& text)
{
    if (!GetItem(nPos))
        return FALSE;
    items[static_cast<size_t>(nPos)].strText = text;
    return TRUE;
}

CMenu::Item* CMenu::FindCommand(UINT nId)
{
    for (Item& item : items) {
        if (!item.bSeparator && !item.pSubMenu && item.nId == nId)
            return &item;
        if (item.pSubMenu)
            if (Item* found = item.pSubMenu->FindCommand(nId))
                return found;
    }
    return nullptr;
}

int CMenu::CheckMenuItem(UINT nId, UINT nCheck)
{
    Item* item = FindCommand(nId);
    if (!item)
        return -1;
    const int nPrevious = item->bChecked ? static_cast<int>(MF_CHECKED) : static_cast<int>(MF_UNCHECKED);
    item->bChecked = (nCheck & MF_CHECKED) ? TRUE : FALSE;
    return nPrevious;
}
