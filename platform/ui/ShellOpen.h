// Opening an address (a web page, a mailto: link) with the desktop's
// default handler, as the shell's "open" verb does.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

// TRUE when a handler was started for the address; FALSE for an empty or
// malformed address or when no handler could be started.
BOOL bShellOpen(const QString& address);

// Tests put a recorder here so no browser starts; null restores the desktop's handler.
using ShellOpenHook = BOOL (*)(const QString& address);
void SetShellOpenHook(ShellOpenHook hook);
