// Another home for the notification icon where no notification area runs:
// a desktop route may offer one (GNOME's top bar). The icon's clicks, its
// menu and its balloons then go through it.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <functional>

class CMenu;

class CTrayStandIn {
public:
    virtual ~CTrayStandIn() = default;
    // TRUE when the icon is shown; onActivate runs on each click on it.
    virtual BOOL bShowIcon(const QString& strTip, std::function<void()> onActivate) = 0;
    virtual void vRemoveIcon() = 0;
    virtual void vNotify(const QString& strTitle, const QString& strText) = 0;
    // Shows the menu at the icon; the chosen item's id goes to onChoose.
    virtual BOOL bShowMenu(const CMenu& menu, std::function<void(UINT)> onChoose) = 0;
};

// Set once by the route at start-up; null for none.
void SetTrayStandIn(CTrayStandIn* pStandIn);
CTrayStandIn* GetTrayStandIn();
// TRUE once while a click on the stand-in's icon is being handled: that
// pop-up menu is the icon's and opens at the icon.
BOOL bTakeStandInMenuPending();
