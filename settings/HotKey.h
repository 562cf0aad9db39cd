// One key combination: its registration as the system-wide hotkey of the
// main window, its display text and its record in the option file.
#pragma once

#include "platform/base/Win32.h"

#include <QString>

class CArchive;

class CHotKey {
public:
    CHotKey() = default;
    CHotKey(const CHotKey& other);
    CHotKey& operator=(const CHotKey& other);
    virtual ~CHotKey() = default;

    void vSet(BOOL ctrl, BOOL shift, BOOL alt, BOOL valid, int virtKey, BOOL win, BOOL extended);
    // Decides bValid; it has nothing to report.
    void vValidate();
    BOOL bRegister(int nId);
    BOOL bUnregister(int nId);
    QString GetHotKeyText() const;
    // Schema 1 records hold five integers, 2 add bWin, 3 add bExtended.
    virtual void Serialize(CArchive& ar);

    // MOD_* bits of the combination.
    UINT GetModifiers() const;

    BOOL bValid = 1;
    BOOL bCtrl = 1;
    BOOL bShift = 1;
    BOOL bAlt = 0;
    BOOL bWin = 0;
    int nVirtKey = 0;
    BOOL bExtended = 0;
    BOOL bRegistered = 1;
};
