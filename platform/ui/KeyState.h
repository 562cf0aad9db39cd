// The state of the modifier keys as a key message sees it: while a key
// event is being routed, the modifiers that came with it; otherwise the
// keyboard's state now.
#pragma once

#include "platform/base/Win32.h"

using SHORT = std::int16_t;

// Down: the value sign-extended from bit 7 (0xFF80), so every bit from
// bit 7 up is set; up: 0. Only the modifier keys are known.
SHORT GetKeyState(int nVirtKey);
// 256 entries, bit 7 set for a key that is down.
BOOL GetKeyboardState(BYTE* pKeyState);

class QKeyEvent;
// Set by the key router around the routing of one event.
void vSetRoutedKeyEvent(const QKeyEvent* e);
