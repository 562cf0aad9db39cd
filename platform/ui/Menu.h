// A menu as plain data: items by position with command ids, texts,
// separators and submenus. Menus are built and translated in this form and
// turned into toolkit menus only when shown.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <memory>
#include <vector>

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
// The id the platform reports for an item that opens a submenu.
constexpr UINT MENU_POPUP_ID = 0xFFFFFFFFu;

class CMenu {
public:
    struct Item {
        UINT nId = 0;
        QString strText;
        BOOL bSeparator = FALSE;
        BOOL bChecked = FALSE;
        std::unique_ptr<CMenu> pSubMenu;
    };

    CMenu() = default;
    CMenu(const CMenu& other);
    CMenu& operator=(const CMenu& other);
    CMenu(CMenu&&) = default;
    CMenu& operator=(CMenu&&) = default;

    void AppendItem(UINT nId, const QString& text);
    void AppendSeparator();
    // Adds an item that opens a new, empty submenu and answers that submenu.
    // A popup's id stands for the handle Windows keeps there; 0 marks an item
    // the translation skips.
    CMenu& AppendPopup(const QString& text, UINT nId = MENU_POPUP_ID);

    int GetMenuItemCount() const { return static_cast<int>(items.size()); }
    // Null when the position is out of range.
    const Item* GetItem(int nPos) const;
    CMenu* GetSubMenu(int nPos) const;
    BOOL SetMenuItemText(int nPos, const QString& text);
    // Checks or unchecks the first item with the command id, at any depth.
    // Answers the previous state (MF_CHECKED / MF_UNCHECKED), or -1 if absent.
    int CheckMenuItem(UINT nId, UINT nCheck);

private:
    Item* FindCommand(UINT nId);

    std::vector<Item> items;
};
