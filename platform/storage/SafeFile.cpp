// Regular-file-only, non-blocking opens and write-then-rename replacement.
#include "platform/storage/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Keeps the descriptor only when it is a regular file, whose status st takes.
int KeepRegular(int fd, struct stat& st)
{
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        errno = ENOENT;
        return -1;
    }
    return fd;
}

BOOL bWriteAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return FALSE; // ENOSPC, EFBIG (with SIGXFSZ ignored), EIO, ...
        p += n;
        left -= n;
    }
    return TRUE;
}

int OpenRegular(const QString& path, struct stat& st)
{
    const QByteArray name = QFile::encodeName(path);
    return KeepRegular(open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY), st);
}

} // namespace

int OpenRegularFile(const QString& path)
{
    struct stat st {};
    return OpenRegular(path, st);
}

FileRead ReadRegularFile(const QString& path, QByteArray& data, qint64 nMaxBytes)
{
    data.clear();
    struct stat st {};
    const int fd = OpenRegular(path, st);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Failed;
    FileRead result = FileRead::Ok;
    if (st.st_size > nMaxBytes) {
        result = FileRead::TooBig;
    } else {
        // The file may grow while it is read: never take more than the bound.
        char buffer[16384];
        for (;;) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result = FileRead::Failed;
                break;
            }
            if (n == 0)
                break;
            if (data.size() + n > nMaxBytes) {
                result = FileRead::TooBig;
                break;
            }
            data.append(buffer, n);
        }
    }
    close(fd);
    if (result != FileRead::Ok)
        data.clear();
    return result;
}

BOOL bReplaceFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    const QByteArray name = QFile::encodeName(target);
    QByteArray temp = name + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    // The new file keeps the old one's permissions; a new one is private.
    struct stat st {};
    const mode_t mode = stat(name.constData(), &st) == 0 ? (st.st_mode & 07777) : 0600;
    BOOL ok = fchmod(fd, mode) == 0 && bWriteAll(fd, bytes) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.constData(), name.constData()) == 0;
    if (!ok)
        unlink(temp.constData());
    return ok;
}

BOOL bAppendToFile(const QString& path, const QByteArray& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    const int fd
        = KeepRegular(open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600), st);
    if (fd < 0)
        return FALSE;
    BOOL ok = bWriteAll(fd, bytes);
    ok = (close(fd) == 0) && ok;
    return ok;
}
