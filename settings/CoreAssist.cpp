// Core object start-up: log on, folders found, options loaded.
#include "settings/CoreAssist.h"

#include "diag/ExceptionReport.h"
#include "platform/storage/Folders.h"

#include <QDir>
#include <QFileInfo>

CCoreAssist* GetCoreAssist()
{
    static CCoreAssist core;
    return &core;
}

BOOL CCoreAssist::bInitialize()
{
    if (!CFAppAssist::bInitialize())
        return FALSE;
    vReportExceptions("", "bInitialize", [this] {
        strAppDir = GetProgramDataFolder();
        QString appData;
        if (bGetAppDataFolder(appData, TRUE)) {
            strDataDir = appData + QStringLiteral("/Lumicue");
            if (!QFileInfo::exists(strDataDir))
                QDir().mkdir(strDataDir);
        } else {
            strDataDir = strAppDir;
        }
        // The log belongs with the user's data, not at the root of the disk.
        strBaseFolder = strDataDir;
        option.vLoad(strDataDir);
        presenter.vLoad(strDataDir + QStringLiteral("/Config.ini"));
    });
    return TRUE;
}

BOOL CCoreAssist::bUninitialize()
{
    return TRUE;
}

QString CCoreAssist::GetLogName()
{
    return QStringLiteral("Lumicue");
}

BOOL CCoreAssist::bLoadLogSettings()
{
    nLogMask = 0xFFFFFFFFu;
    bLogEnabled = TRUE;
    return TRUE;
}

QString CCoreAssist::UserPointerFolder() const
{
    QString data = GetXdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
    while (data.size() > 1 && data.endsWith(QLatin1Char('/')))
        data.chop(1);
    return data.isEmpty() ? QString() : data + QStringLiteral("/lumicue/pointer");
}

QStringList CCoreAssist::PointerFolders() const
{
    QStringList folders{strAppDir + QStringLiteral("pointer")};
    const QString user = UserPointerFolder();
    // An installed program run with XDG_DATA_HOME=<prefix>/share would list its pictures twice.
    const QString same = QFileInfo(user).canonicalFilePath();
    if (!user.isEmpty() && (same.isEmpty() || same != QFileInfo(folders.front()).canonicalFilePath()))
        folders.append(user);
    return folders;
}
