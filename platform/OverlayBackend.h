// One desktop route's overlay window, behind CLayeredWindow: a click-through,
// top-most picture with per-pixel alpha that moves without redrawing.
#pragma once

#include "platform/image/Bitmap32.h"

#include <cstdint>
#include <memory>

class COverlayBackend {
public:
    virtual ~COverlayBackend() = default;
    // UI thread. A non-zero id for the hidden window; 0 when it cannot be made.
    virtual unsigned long nCreate() = 0;
    virtual void vDestroy() = 0; // UI thread
    // UI thread. The premultiplied picture becomes the content, with
    // nConstantAlpha still to be folded in; the position is kept.
    virtual BOOL bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha) = 0;
    // The same with a picture the caller will not change, which the route
    // may keep and read later (off the UI thread) instead of copying it.
    virtual BOOL bUpdateShared(std::shared_ptr<const CBitmap32> picture, std::uint8_t nConstantAlpha)
    {
        const CBitmap32 none;
        return bUpdate(picture ? *picture : none, nConstantAlpha);
    }
    virtual void vShow(BOOL bShow) = 0;     // UI thread
    virtual void vKeepOnTop(BOOL bKeep) = 0; // UI thread
    // UI thread: the point of the picture that the pointer holds, for a route
    // whose overlay follows the pointer by itself.
    virtual void vSetHotSpot(int x, int y)
    {
        (void)x;
        (void)y;
    }
    // Any thread: the top-left corner in screen coordinates. No allocation,
    // no lock: the mouse reader calls it for every move.
    virtual void vMove(int x, int y) = 0;
};
