// Menu resource 2, the tray menu: one pop-up with the program's commands.
#include "platform/ui/Menu.h"
#include "platform/ui/Resources.h"
#include "res/ResourceIds.h"
#include "settings/MakerSite.h"

#include <QUrl>

BOOL LoadMenuResource(UINT nId, CMenu& menu)
{
    if (nId != IDR_TRAY_MENU)
        return FALSE;
    menu = CMenu();
    CMenu& popup = menu.AppendPopup(QStringLiteral("TASKBARPOPUP"));
    popup.AppendItem(ID_APP_ABOUT, QStringLiteral("&About Lumicue..."));
    popup.AppendItem(ID_VISIT, QStringLiteral("&Visit ") + QUrl(QString::fromLatin1(MAKER_SITE)).host());
    popup.AppendSeparator();
    popup.AppendItem(ID_TOGGLE_POINTER, QStringLiteral("Hight Visibility &Pointer"));
    popup.AppendItem(ID_OPEN, QStringLiteral("&Open Lumicue"));
    popup.AppendItem(ID_APP_EXIT, QStringLiteral("E&xit"));
    return TRUE;
}
