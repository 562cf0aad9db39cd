// Where per-session rendezvous files live, and registered message numbers.
#pragma once

#include "platform/Win32.h"

#include <QString>

// $XDG_RUNTIME_DIR, or a private folder under /tmp when the session has none.
QString GetRuntimeFolder();
// The same number for the same name in every process, in the registered range.
UINT RegisterWindowMessageW(const QString& name);
