// The seam for the overlay's platform window: a click-through, top-most,
// task-bar-less window whose whole content is one premultiplied picture with
// per-pixel alpha, moved without redrawing from any thread.
#pragma once

#include "platform/image/Bitmap32.h"

#include <atomic>
#include <cstdint>
#include <memory>

class CLayeredWindow {
public:
    CLayeredWindow();
    ~CLayeredWindow(); // destroys the platform window if still there
    CLayeredWindow(const CLayeredWindow&) = delete;
    CLayeredWindow& operator=(const CLayeredWindow&) = delete;

    // UI thread. Creates the hidden window; TRUE at once if it exists.
    BOOL bCreate();
    BOOL bDestroy(); // FALSE when there is no window
    // Any thread: one atomic read.
    BOOL bExists() const { return nWindowId.load(std::memory_order_acquire) != 0; }

    // UI thread. The picture becomes the window's content and size, with
    // nConstantAlpha folded into its pixels; the position is kept. A 0 x 0
    // picture leaves the window without content: it stays unmapped, even
    // when shown, until a non-empty picture arrives.
    BOOL bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha);
    // The same with a picture no one changes any more: the platform may keep
    // it and finish the update later, keeping the old content until then.
    BOOL bUpdateShared(std::shared_ptr<const CBitmap32> picture, std::uint8_t nConstantAlpha);
    void vShow(BOOL bShow); // UI thread
    // UI thread. While set, the shown window goes back above any window
    // mapped or raised over it, within a display frame; a window that raises
    // itself whenever covered is given way to after a few rounds, until it
    // is unmapped or the window is hidden and shown again.
    void vKeepOnTop(BOOL bKeep);
    // UI thread: the point of the picture that the pointer holds, for a
    // platform whose window follows the pointer by itself.
    void vSetHotSpot(int x, int y);

    // Any thread (the mouse thread uses its own connection). A move to the
    // position the window already has is skipped, so the two records of a
    // diagonal motion cost one move. No allocation, no lock.
    void vMove(int x, int y)
    {
        if (nLastPos.exchange(Pack(x, y), std::memory_order_relaxed) != Pack(x, y))
            vPlatformMove(x, y);
    }

    struct Impl; // backend state
    Impl* GetImpl() const { return pImpl.get(); }

private:
    void vPlatformMove(int x, int y);
    static std::uint64_t Pack(int x, int y)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
    }

    std::atomic<unsigned long> nWindowId{0};
    std::atomic<std::uint64_t> nLastPos{0};
    std::unique_ptr<Impl> pImpl;
};
