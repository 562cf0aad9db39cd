// The listener interface of the features that react to global mouse and
// keyboard input. Slot order matters to callers that walk it by number.
#pragma once

#include "platform/base/Win32.h"

class CFunImplementBase {
public:
    virtual ~CFunImplementBase() = default;

    virtual BOOL bCreate() = 0;                               // 0
    virtual BOOL bDestroy() = 0;                              // 1
    virtual void vUpdate() = 0;                               // 2
    virtual BOOL bSwitch(BOOL bOn) = 0;                       // 3
    virtual void vOnMouseMove(UINT nFlags, int x, int y) = 0;   // 4
    virtual void vOnLButtonDown(UINT nFlags, int x, int y) = 0; // 5
    virtual void vOnLButtonUp(UINT nFlags, int x, int y) = 0;   // 6
    virtual void vOnRButtonDown(UINT nFlags, int x, int y) = 0; // 7
    virtual void vOnRButtonUp(UINT nFlags, int x, int y) = 0;   // 8
    virtual void vOnKeyDown(UINT nKey, DWORD dwTime) = 0;     // 9
    virtual void vOnKeyUp(UINT nKey, DWORD dwTime) = 0;       // 10
};
