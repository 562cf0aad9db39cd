// The per-user "start with the session" entry of a program (the autorun
// value Windows keeps in the registry): here an XDG autostart file.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

// Removes the entry named name; a missing entry or folder is not an error.
// FALSE only when the entry exists and could not be removed.
BOOL bDeleteAutoRunEntry(const QString& name);
