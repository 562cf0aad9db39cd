// Autostart entries live in $XDG_CONFIG_HOME/autostart as NAME.desktop.
#include "platform/storage/AutoRun.h"

#include "platform/storage/Folders.h"

#include <QFile>

BOOL bDeleteAutoRunEntry(const QString& name)
{
    QString configHome;
    if (!bGetAppDataFolder(configHome, FALSE))
        return TRUE;
    QFile entry(configHome + QStringLiteral("/autostart/") + name + QStringLiteral(".desktop"));
    return !entry.exists() || entry.remove();
}
