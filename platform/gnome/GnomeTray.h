// The program's icon in GNOME's top bar, drawn by the extension where no
// notification area runs; balloons become the shell's notifications.
#pragma once

#include "platform/ui/TrayStandIn.h"

#include <functional>

class CGnomeShellLink;

class CGnomeTray : public CTrayStandIn {
public:
    explicit CGnomeTray(std::function<CGnomeShellLink*()> getLink);

    BOOL bShowIcon(const QString& strTip, std::function<void()> onActivate) override;
    void vRemoveIcon() override;
    void vNotify(const QString& strTitle, const QString& strText) override;
    BOOL bShowMenu(const CMenu& menu, std::function<void(UINT)> onChoose) override;

private:
    std::function<CGnomeShellLink*()> getLink;
    std::function<void(UINT)> onMenuChoice;
    BOOL bShown = FALSE;
};
