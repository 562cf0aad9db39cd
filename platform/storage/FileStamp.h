// What tells whether a file changed since it was read: replacing or
// rewriting it changes its size or modification time.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

struct SFileStamp {
    qint64 nSize = -1; // -1: missing, or not a regular file
    qint64 nModifiedMs = 0;

    static SFileStamp Of(const QString& path);
    BOOL bIsFile() const { return nSize >= 0; }
    bool operator==(const SFileStamp&) const = default;
};
