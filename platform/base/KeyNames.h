// Virtual-key codes, scan codes and the English (US) key names Windows
// gives them: what hotkey texts are made of.
#pragma once

#include "platform/base/VirtualKeys.h"

#include <QString>

constexpr UINT MAPVK_VK_TO_VSC = 0;
constexpr UINT MAPVK_VSC_TO_VK = 1;

// Key data bit for keys that arrive with the E0 prefix.
constexpr LONG KF_EXTENDED_KEYDATA = 0x01000000;

// MAPVK_VK_TO_VSC: the key's scan code (0 when it has none).
// MAPVK_VSC_TO_VK: the virtual key of a scan code (0 when none).
UINT MapVirtualKeyW(UINT uCode, UINT uMapType);
// The key data that names a virtual key: its scan code in bits 16-23 and,
// for a key with the E0 prefix, KF_EXTENDED_KEYDATA.
LONG ScanKeyData(UINT vk, BOOL bExtended);

// Name of the key in lParam (scan code in bits 16-23, extended in bit 24),
// copied into buffer (at most cchSize - 1 characters and a terminator);
// answers the number of characters copied, 0 for a key without a name.
int GetKeyNameTextW(LONG lParam, char16_t* buffer, int cchSize);
