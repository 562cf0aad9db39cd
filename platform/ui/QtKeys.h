// Toolkit key events as Win32 virtual keys and key data, so that key
// messages carry the codes dialog code compares against.
#pragma once

#include "platform/Win32.h"

#include <QString>
#include <Qt>

class QKeyEvent;

// The virtual key of a toolkit key (0 when it has none).
UINT VirtualKeyOfQtKey(int nQtKey, Qt::KeyboardModifiers mods);
// The key data of a key message: repeat count 1, scan code in bits 16-23,
// bit 24 for extended keys, bits 30 and 31 on release.
LPARAM KeyDataOfVirtualKey(UINT vk, BOOL bExtended, BOOL bRelease);
// Both, for a key event; FALSE when the key has no virtual key.
BOOL bKeyMessageOf(const QKeyEvent* e, UINT* pMessage, WPARAM* pVk, LPARAM* pKeyData);
// The toolkit key of a virtual key (keypad keys with Qt::KeypadModifier);
// 0 when it has none.
int QtKeyOfVirtualKey(UINT vk);
// A hotkey in the toolkit's portable text form ("Ctrl+Alt+F8"), as desktop
// shortcut services take it; empty when the key has no toolkit key.
QString KeySequenceText(UINT fsModifiers, UINT vk);
