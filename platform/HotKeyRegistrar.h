// System-wide hotkeys: a registered combination, pressed anywhere, posts
// WM_HOTKEY (wParam the id, lParam MAKELPARAM(modifiers, virtual key)) to
// the target window. Modifiers are MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN.
#pragma once

#include "platform/base/Win32.h"

class CWnd;

// FALSE when the combination is held already (by another client or under
// another id) or the key cannot be grabbed. target may be null: the
// combination is then held but its presses go nowhere.
BOOL RegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk);
// Releases the registration of target under id; FALSE when there is none.
BOOL UnregisterHotKey(CWnd* target, int id);
