// The resource section as one set: icon 2 is the program icon, string 20099
// the support address, menu 2 the tray menu.
#include "res/LumicueResources.h"

#include "res/AppIconData.h"
#include "res/ResourceIds.h"

SResources LumicueResources()
{
    SResources set;
    set.dialogs = DialogTemplates();
    set.icons[IDI_APP] = QByteArray::fromRawData(reinterpret_cast<const char*>(kAppIconPng),
        static_cast<int>(kAppIconPngSize));
    set.strings[IDS_SUPPORT_MAIL] = QStringLiteral("mailto:support@lumicue.example");
    set.menus[IDR_TRAY_MENU] = TrayMenu();
    return set;
}
