// Linux stand-ins for the module file name and the application-data folder.
#include "platform/storage/Folders.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

QString GetModuleFilePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString GetModuleFolder()
{
    const QString path = GetModuleFilePath();
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString GetProgramDataFolder()
{
    const auto bHoldsData = [](const QString& folder) {
        return QFileInfo(folder + QStringLiteral("pointer")).isDir()
            || QFileInfo(folder + QStringLiteral("Language")).isDir();
    };
    const QString exeFolder = GetModuleFolder();
    if (bHoldsData(exeFolder))
        return exeFolder;
    // Relative to the executable, so that an installed tree can be moved.
    const QString shared = QDir::cleanPath(exeFolder + QStringLiteral("../share/lumicue")) + QLatin1Char('/');
    return bHoldsData(shared) ? shared : exeFolder;
}

BOOL bGetAppDataFolder(QString& folder, BOOL bCreate)
{
    // The XDG rules: a relative value is ignored as if unset.
    QString path = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
    if (!path.startsWith(QLatin1Char('/'))) {
        const QString home = QString::fromLocal8Bit(std::getenv("HOME"));
        if (!home.startsWith(QLatin1Char('/')))
            return FALSE;
        path = home + QStringLiteral("/.config");
    }
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (bCreate && !QFileInfo(path).isDir() && !QDir().mkpath(path))
        return FALSE;
    folder = path;
    return TRUE;
}
