// Menu resource 2, the tray menu: one pop-up with the program's commands.
#include "res/LumicueResources.h"

#include "res/MakerSite.h"
#include "res/ResourceIds.h"

#include <QUrl>

CMenu TrayMenu()
{
    CMenu menu;
    CMenu& popup = menu.AppendPopup(QStringLiteral("TASKBARPOPUP"));
    popup.AppendItem(ID_APP_ABOUT, QStringLiteral("&About Lumicue..."));
    popup.AppendItem(ID_VISIT, QStringLiteral("&Visit ") + QUrl(QString::fromLatin1(MAKER_SITE)).host());
    popup.AppendSeparator();
    popup.AppendItem(ID_TOGGLE_POINTER, QStringLiteral("Hight Visibility &Pointer"));
    popup.AppendItem(ID_OPEN, QStringLiteral("&Open Lumicue"));
    popup.AppendItem(ID_APP_EXIT, QStringLiteral("E&xit"));
    return menu;
}
