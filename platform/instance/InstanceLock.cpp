// Lock-based stand-in for a named mutex.
#include "platform/instance/InstanceLock.h"

#include "platform/instance/RuntimeFolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The whole file, write-locked; l_pid stays 0 as open-file-description locks ask.
struct flock WholeFile(short nType)
{
    struct flock fl {};
    fl.l_type = nType;
    fl.l_whence = SEEK_SET;
    return fl;
}

BOOL bHeldIn(const QString& folder, const QString& name)
{
    const int fd = OpenOwnLockFile(folder, name, O_RDONLY);
    if (fd < 0)
        return FALSE;
    struct flock fl = WholeFile(F_WRLCK);
    const BOOL bHeld = fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    close(fd);
    return bHeld;
}

} // namespace

int OpenOwnLockFile(const QString& folder, const QString& name, int nFlags)
{
    if (folder.isEmpty())
        return -1;
    const QByteArray bytes = QFile::encodeName(folder + '/' + name + QStringLiteral(".lock"));
    const int fd = open(bytes.constData(), nFlags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != getuid())) {
        close(fd);
        return -1;
    }
    return fd;
}

CInstanceLock::~CInstanceLock()
{
    vClose();
}

BOOL CInstanceLock::bCreate(const QString& name)
{
    vClose();
    const QString runtime = GetRuntimeFolder();
    if (bCreateIn(runtime, name))
        return TRUE;
    const QString fallback = GetPrivateFolder();
    return fallback != runtime && bCreateIn(fallback, name);
}

BOOL CInstanceLock::bCreateIn(const QString& folder, const QString& name)
{
    // Never through a planted link, never on anything but our own file.
    const int fd = OpenOwnLockFile(folder, name, O_RDWR | O_CREAT);
    if (fd < 0)
        return FALSE;
    struct flock fl = WholeFile(F_WRLCK);
    if (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno != EAGAIN && errno != EACCES) {
            close(fd); // a file system without locks is no lock at all
            return FALSE;
        }
        bHeldElsewhere = TRUE;
    }
    nFd = fd;
    return TRUE;
}

void CInstanceLock::vClose()
{
    if (nFd >= 0)
        close(nFd);
    nFd = -1;
    bHeldElsewhere = FALSE;
}

BOOL CInstanceLock::bIsHeld(const QString& name)
{
    // Wherever bCreate may have put it.
    const QString runtime = GetRuntimeFolder();
    const QString fallback = GetPrivateFolder();
    return bHeldIn(runtime, name) || (fallback != runtime && bHeldIn(fallback, name));
}
