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
