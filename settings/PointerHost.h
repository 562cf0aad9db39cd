// What the Pointer page asks of the window that owns the pointer: switch it,
// redraw it after its picture or opacity changed, and tell whether it is on.
#pragma once

#include "platform/base/Win32.h"

class CPointerHost {
public:
    virtual ~CPointerHost() = default;
    // Switches the pointer and relabels the page's switch button; answers
    // the new state.
    virtual BOOL bTogglePointer() = 0;
    virtual void vUpdatePointer() = 0;
    virtual BOOL bIsPointerOn() const = 0;
    // Takes the presenter's options anew (size, click rings).
    virtual void vApplyOptions() {}
};
