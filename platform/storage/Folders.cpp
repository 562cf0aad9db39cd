// Linux stand-ins for the module file name and the application-data folder.
#include "platform/storage/Folders.h"

#include <QDir>
#include <QFileInfo>

QString GetProgramDataFolder()
{
    const auto bHoldsData = [](const QString& folder) {
        return QFileInfo(folder + QStringLiteral("pointer")).isDir()
            || QFileInfo(folder + QStringLiteral("Language")).isDir();
    };
    // The running executable's folder, ending in '/'.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString exeFolder = exe.left(exe.lastIndexOf(QLatin1Char('/')) + 1);
    if (bHoldsData(exeFolder))
        return exeFolder;
    // Relative to the executable, so that an installed tree can be moved.
    const QString shared = QDir::cleanPath(exeFolder + QStringLiteral("../share/lumicue")) + QLatin1Char('/');
    return bHoldsData(shared) ? shared : exeFolder;
}

QString GetAbsoluteEnv(const char* name)
{
    const QString value = qEnvironmentVariable(name);
    return value.startsWith(QLatin1Char('/')) ? value : QString();
}

QString GetXdgFolder(const char* variable, const QString& homeRelative)
{
    const QString path = GetAbsoluteEnv(variable);
    if (!path.isEmpty())
        return path;
    const QString home = GetAbsoluteEnv("HOME");
    return home.isEmpty() ? QString() : home + QLatin1Char('/') + homeRelative;
}

BOOL bGetAppDataFolder(QString& folder, BOOL bCreate)
{
    QString path = GetXdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    if (path.isEmpty())
        return FALSE;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (bCreate && !QFileInfo(path).isDir() && !QDir().mkpath(path))
        return FALSE;
    folder = path;
    return TRUE;
}
