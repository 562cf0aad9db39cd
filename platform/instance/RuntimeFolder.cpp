// Runtime folder and registered message numbers. Other local users must not
// be able to plant or take over anything the single instance relies on, so
// every folder used is checked to be the user's own.
#include "platform/instance/RuntimeFolder.h"

#include "platform/storage/Folders.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <sys/stat.h>
#include <unistd.h>

namespace {

BOOL bOwnRealFolder(const QByteArray& path, struct stat& st)
{
    return lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

} // namespace

QString GetPrivateFolder()
{
    const QString cache = GetXdgFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
    if (cache.isEmpty())
        return {};
    const QString folder = QDir::cleanPath(cache) + QStringLiteral("/lumicue");
    const QByteArray path = QFile::encodeName(folder);
    if (!QDir().mkpath(QDir::cleanPath(cache)))
        return {};
    mkdir(path.constData(), 0700);
    struct stat st {};
    if (!bOwnRealFolder(path, st))
        return {};
    if ((st.st_mode & 07777) != 0700 && chmod(path.constData(), 0700) != 0)
        return {};
    return folder;
}

QString GetRuntimeFolder()
{
    const QString dir = GetAbsoluteEnv("XDG_RUNTIME_DIR");
    const QByteArray path = QFile::encodeName(dir);
    struct stat st {};
    // The session's folder, if it is ours, private and writable; a symbolic
    // link to it is fine as long as what it names passes.
    if (!dir.isEmpty() && stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && access(path.constData(), W_OK | X_OK) == 0)
        return QDir::cleanPath(dir);
    return GetPrivateFolder();
}

QString GetChannelFolder()
{
    const QString dir = GetAbsoluteEnv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!dir.isEmpty() && bOwnRealFolder(QFile::encodeName(dir), st) && (st.st_mode & 077) == 0
        && access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0)
        return QDir::cleanPath(dir);
    return GetPrivateFolder();
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
