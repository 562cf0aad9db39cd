// Where per-session rendezvous files live, and registered message numbers.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

// $XDG_RUNTIME_DIR when it is a folder of ours that we may write in, else
// the private folder below (empty when even that is refused).
QString GetRuntimeFolder();
// $XDG_CACHE_HOME/lumicue (default ~/.cache/lumicue), made with mode 0700
// when missing. Empty unless it is a real folder (not a symbolic link) owned
// by the user; its mode is put back to 0700 when it was wider.
QString GetPrivateFolder();
// Where the instance channel's socket lies: $XDG_RUNTIME_DIR when no one but
// the user can even look into it (a real folder of ours, mode 0700, not a
// link), else the private folder; empty when neither exists.
QString GetChannelFolder();
// The same number for the same name in every process, in the registered range.
UINT RegisterWindowMessageW(const QString& name);
