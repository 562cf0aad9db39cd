// Regular-file-only, non-blocking opens and write-then-rename replacement.
#include "platform/storage/SafeFile.h"

#include <QFile>
#include <QRandomGenerator>

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

// The path names a regular file (its status in st) or nothing (st zeroed),
// looked at without following a link.
BOOL bMayWrite(const QByteArray& name, struct stat& st)
{
    if (lstat(name.constData(), &st) == 0) {
        if (S_ISREG(st.st_mode))
            return TRUE;
        errno = EEXIST;
        return FALSE;
    }
    st = {};
    return errno == ENOENT;
}

// A new file beside name, never through a link nor over anything there.
int CreateTempBeside(const QByteArray& name, QByteArray& temp)
{
    for (int nTry = 0; nTry < 16; ++nTry) {
        temp = name + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        const int fd = open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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
    // Only a regular file, or none, is ever replaced: a link (to a device,
    // a FIFO, a file elsewhere) or a special file fails the save untouched.
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (!bMayWrite(name, st))
        return FALSE;
    QByteArray temp;
    const int fd = CreateTempBeside(name, temp);
    if (fd < 0)
        return FALSE;
    // The new file keeps the old one's permissions; a new one is private.
    const mode_t mode = st.st_mode != 0 ? (st.st_mode & 07777) : 0600;
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
    if (!bMayWrite(name, st))
        return FALSE;
    const int fd = KeepRegular(
        open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600), st);
    if (fd < 0)
        return FALSE;
    BOOL ok = bWriteAll(fd, bytes);
    ok = (close(fd) == 0) && ok;
    return ok;
}
