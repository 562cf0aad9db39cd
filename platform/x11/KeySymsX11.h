// Windows virtual-key codes to X keysyms, for the hotkey grabs.
#pragma once

#include "platform/base/Win32.h"

// Keysyms are unsigned long (X's KeySym); X.h is kept out of this header
// because its macros break Qt headers included after it.
// The keysym of a virtual key (NoSymbol when it has none).
unsigned long VkToKeySym(UINT vk);
