// Icon resources: id 2 is the program icon.
#include "platform/ui/Resources.h"

#include "res/AppIconData.h"

#include <QPixmap>

QIcon LoadIconResource(int nId)
{
    if (nId != 2)
        return {};
    QPixmap pixmap;
    pixmap.loadFromData(kAppIconPng, kAppIconPngSize, "PNG");
    return QIcon(pixmap);
}
