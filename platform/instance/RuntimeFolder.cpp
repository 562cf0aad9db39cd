// Runtime folder and registered message numbers.
#include "platform/instance/RuntimeFolder.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

QString GetRuntimeFolder()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!dir.isEmpty() && QFileInfo(dir).isDir())
        return dir;
    dir = QStringLiteral("/tmp/lumicue-%1").arg(getuid());
    QByteArray path = QFile::encodeName(dir);
    mkdir(path.constData(), 0700);
    struct stat st {};
    // Refuse a folder somebody else made for us.
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return QDir::tempPath();
    return dir;
}

UINT RegisterWindowMessageW(const QString& name)
{
    // FNV-1a over the case-folded name, folded into 0xC000..0xFFFF as the
    // platform numbers registered messages.
    std::uint32_t h = 2166136261u;
    for (QChar c : name.toUpper()) {
        h ^= c.unicode();
        h *= 16777619u;
    }
    return 0xC000u + (h % 0x4000u);
}
