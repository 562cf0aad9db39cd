// One route's overlay window.
#pragma once

#include "platform/Win32.h"
#include "platform/image/Bitmap32.h"

#include <cstdint>

class COverlayBackend {
public:
    virtual ~COverlayBackend() = default;
    virtual unsigned long nCreate() = 0;                   // UI thread; non-zero id, 0 on failure
    virtual void vDestroy() = 0;                           // UI thread
    virtual BOOL bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha) = 0; // UI thread; premultiplied BGRA picture, constant alpha still to fold in
    virtual void vShow(BOOL bShow) = 0;                    // UI thread
    virtual void vKeepOnTop(BOOL bKeep) = 0;               // UI thread
    virtual void vSetHotSpot(int x, int y) { (void)x; (void)y; } // UI thread: the picture's point that the pointer holds
    virtual void vMove(int x, int y) = 0;                  // any thread: top-left corner in screen coordinates, no allocation, no lock
};
