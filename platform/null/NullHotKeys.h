// The test backend's hotkey registrar: which combinations are held, which
// ones "another client" holds, and key presses fed in by tests.
#pragma once

#include "platform/base/Win32.h"

#include <vector>

class CWnd;

class CNullHotKeys {
public:
    struct Grab {
        CWnd* target;
        int id;
        UINT modifiers;
        UINT vk;
    };

    // The registrations held now, oldest first.
    static std::vector<Grab> Held();
    // Marks a combination as held by another client: registering it fails.
    static void vSetTaken(UINT modifiers, UINT vk, bool taken);
    // A press of the combination: posts WM_HOTKEY to its target; FALSE when
    // no registration matches.
    static BOOL bPress(UINT modifiers, UINT vk);
    // Forgets every registration and taken combination.
    static void vReset();
};
