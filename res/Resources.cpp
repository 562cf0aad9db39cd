// Icon and string resources: icon 2 is the program icon; string 20099 the
// support address.
#include "platform/ui/Resources.h"

#include "res/AppIconData.h"
#include "res/ResourceIds.h"

#include <QPixmap>

QIcon LoadIconResource(int nId)
{
    if (nId != IDI_APP)
        return {};
    QPixmap pixmap;
    pixmap.loadFromData(kAppIconPng, kAppIconPngSize, "PNG");
    return QIcon(pixmap);
}

BOOL LoadStringResource(UINT nId, QString& text)
{
    switch (nId) {
    case IDS_SUPPORT_MAIL:
        text = QStringLiteral("mailto:support@lumicue.example");
        return TRUE;
    default:
        return FALSE;
    }
}
