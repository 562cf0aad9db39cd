// flock-based stand-in for a named mutex.
#include "platform/instance/InstanceLock.h"

#include "platform/instance/RuntimeFolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

CInstanceLock::~CInstanceLock()
{
    vClose();
}

BOOL CInstanceLock::bCreate(const QString& name)
{
    vClose();
    QByteArray path = QFile::encodeName(GetRuntimeFolder() + '/' + name + QStringLiteral(".lock"));
    nFd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (nFd < 0)
        return FALSE;
    if (flock(nFd, LOCK_EX | LOCK_NB) != 0)
        bHeldElsewhere = (errno == EWOULDBLOCK);
    return TRUE;
}

void CInstanceLock::vClose()
{
    if (nFd >= 0)
        close(nFd);
    nFd = -1;
    bHeldElsewhere = FALSE;
}
