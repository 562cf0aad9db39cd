// flock-based stand-in for a named mutex.
#include "platform/instance/InstanceLock.h"

#include "platform/instance/RuntimeFolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

CInstanceLock::~CInstanceLock()
{
    vClose();
}

BOOL CInstanceLock::bCreate(const QString& name)
{
    vClose();
    const QString runtime = GetRuntimeFolder();
    if (!runtime.isEmpty() && bCreateIn(runtime, name))
        return TRUE;
    const QString fallback = GetPrivateFolder();
    return !fallback.isEmpty() && fallback != runtime && bCreateIn(fallback, name);
}

BOOL CInstanceLock::bCreateIn(const QString& folder, const QString& name)
{
    const QByteArray path = QFile::encodeName(folder + '/' + name + QStringLiteral(".lock"));
    // Never through a planted link, never on anything but our own file.
    int fd = open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != getuid())) {
        close(fd);
        fd = -1;
    }
    if (fd < 0)
        return FALSE;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            close(fd); // a file system without locks is no lock at all
            return FALSE;
        }
        bHeldElsewhere = TRUE;
    }
    nFd = fd;
    strFolder = folder;
    return TRUE;
}

void CInstanceLock::vClose()
{
    if (nFd >= 0)
        close(nFd);
    nFd = -1;
    bHeldElsewhere = FALSE;
    strFolder.clear();
}
