// Toolkit key events as Win32 virtual keys and key data, so that key
// messages carry the codes dialog code compares against.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <Qt>

class QKeyEvent;

// The virtual key and key data of a key event; FALSE when the key has no virtual key.
BOOL bKeyMessageOf(const QKeyEvent* e, UINT* pMessage, WPARAM* pVk, LPARAM* pKeyData);
// A hotkey in the toolkit's portable text form ("Ctrl+Alt+F8"), as desktop
// shortcut services take it; empty when the key has no toolkit key.
QString KeySequenceText(UINT fsModifiers, UINT vk);
