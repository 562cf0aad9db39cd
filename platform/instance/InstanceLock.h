// The single-instance mutex: a lock held with flock on a file named after it.
// The kernel drops the lock when the process ends, however it ends.
#pragma once

#include "platform/Win32.h"

#include <QString>

class CInstanceLock {
public:
    CInstanceLock() = default;
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // Opens the lock in the runtime folder, or in the private folder when it
    // cannot be made there; FALSE when it can be made in neither (the program
    // must not then run as if it were alone). bAlreadyExists() tells whether
    // another process holds it.
    BOOL bCreate(const QString& name);
    BOOL bAlreadyExists() const { return bHeldElsewhere; }
    BOOL bHeld() const { return nFd >= 0 && !bHeldElsewhere; }
    // The folder the lock file lies in.
    const QString& Folder() const { return strFolder; }
    void vClose();

private:
    BOOL bCreateIn(const QString& folder, const QString& name);

    int nFd = -1;
    BOOL bHeldElsewhere = FALSE;
    QString strFolder;
};
