// The single-instance mutex: an open-file-description lock (fcntl) on a file
// named after it. The kernel drops the lock when the process ends, however
// it ends, and anyone may ask whether it is held without taking it.
#pragma once

#include "platform/base/Win32.h"

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
    void vClose();

    // Whether some process holds the lock of this name, asked without taking
    // it (so a query never stands in the way of a starting instance).
    static BOOL bIsHeld(const QString& name);

private:
    BOOL bCreateIn(const QString& folder, const QString& name);

    int nFd = -1;
    BOOL bHeldElsewhere = FALSE;
};

// Opens the lock file of name in folder for reading or writing, never
// through a link, only when it is a regular file of the user's; -1 otherwise
// (and for no folder).
int OpenOwnLockFile(const QString& folder, const QString& name, int nFlags);
