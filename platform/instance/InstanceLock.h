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

    // Opens the lock; FALSE only when the lock file cannot be made at all.
    // bAlreadyExists() then tells whether another process holds it.
    BOOL bCreate(const QString& name);
    BOOL bAlreadyExists() const { return bHeldElsewhere; }
    BOOL bHeld() const { return nFd >= 0 && !bHeldElsewhere; }
    void vClose();

private:
    int nFd = -1;
    BOOL bHeldElsewhere = FALSE;
};
