// A hotkey as GNOME Shell names it in a key binding ("<Control><Alt>F8").
#pragma once

#include "platform/base/Win32.h"

#include <QString>

// Empty when the virtual key has no name there.
QString GnomeAccelerator(UINT fsModifiers, UINT vk);
