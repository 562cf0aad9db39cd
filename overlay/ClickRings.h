// Click rings: each left or right press draws an expanding, fading ring
// around the cursor in a click-through window of its own, for the audience
// to see the click. Off, a press costs one flag read on the mouse thread;
// at rest no timer runs.
#pragma once

#include "overlay/FunImplementBase.h"
#include "platform/LayeredWindow.h"

#include <QElapsedTimer>
#include <QTimer>

#include <atomic>

class CClickRings : public CFunImplementBase {
public:
    static constexpr int nDurationMs = 300;
    static constexpr int nFrameMs = 20;
    // Left and right presses, straight 0xRRGGBB.
    static constexpr std::uint32_t clrLeft = 0xFFB000;
    static constexpr std::uint32_t clrRight = 0x00B4FF;

    CClickRings();
    ~CClickRings() override;

    // UI thread. On: presses draw rings; off: the window goes.
    void vEnable(BOOL bOn);
    BOOL bEnabled() const { return bOn.load(std::memory_order_relaxed); }
    // Device pixels per pixel of the ring.
    void vSetScale(double dScale) { dRingScale = dScale; }
    // UI thread: starts a ring at the point (what a press does).
    void vStartRing(int x, int y, BOOL bRight);

    // The ring at time t (0 to 1) of its life, in a square picture of side
    // nSide: radius, width and opacity grow and fade with t.
    static void vDrawRing(CBitmap32& picture, int nSide, double t, std::uint32_t rgb);
    // The square picture's side for a scale.
    static int nSideFor(double dScale);

    const CLayeredWindow& Window() const { return window; }

    BOOL bCreate() override { return TRUE; }
    BOOL bDestroy() override;
    void vUpdate() override {}
    BOOL bSwitch(BOOL) override { return TRUE; }
    void vOnMouseMove(UINT, int, int) override {}
    void vOnLButtonDown(UINT nFlags, int x, int y) override;
    void vOnLButtonUp(UINT, int, int) override {}
    void vOnRButtonDown(UINT nFlags, int x, int y) override;
    void vOnRButtonUp(UINT, int, int) override {}
    void vOnKeyDown(UINT, DWORD) override {}
    void vOnKeyUp(UINT, DWORD) override {}

private:
    void vPress(int x, int y, BOOL bRight); // mouse thread
    void vFrame();

    std::atomic<BOOL> bOn{FALSE};
    CLayeredWindow window;
    CBitmap32 picture;
    QTimer timer; // lives on the UI thread; runs only while a ring shows
    QElapsedTimer clock;
    double dRingScale = 1.0;
    int nSide = 0;
    std::uint32_t clrRing = clrLeft;
};
