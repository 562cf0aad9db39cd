// The overlay on a Wayland compositor that offers the layer shell: one
// surface in the overlay layer of the output under the pointer, with an
// empty input region (clicks fall through), no keyboard, anchored top-left
// and moved by its margins. It has a connection of its own, read by a thread
// of its own; every other thread only hands it work and wakes it.
#pragma once

#include "platform/OverlayBackend.h"

#include <functional>
#include <memory>

class CLayerShellOverlay : public COverlayBackend {
public:
    CLayerShellOverlay();
    ~CLayerShellOverlay() override; // vDestroy
    CLayerShellOverlay(const CLayerShellOverlay&) = delete;
    CLayerShellOverlay& operator=(const CLayerShellOverlay&) = delete;

    // Connects to the compositor named by WAYLAND_DISPLAY; 0 when it cannot,
    // or when it offers no layer shell, shared memory or outputs.
    unsigned long nCreate() override;
    void vDestroy() override;
    BOOL bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha) override;
    void vShow(BOOL bShow) override;
    void vKeepOnTop(BOOL) override {} // the overlay layer is above every window already
    void vSetHotSpot(int x, int y) override;
    void vMove(int x, int y) override;

    // Called on the caller's thread when the overlay is shown or hidden
    // (and hidden by vDestroy): whoever feeds it positions may rest meanwhile.
    std::function<void(bool bShown)> fnShown;

    struct Impl;

private:
    void vTellShown(bool bShown);

    std::unique_ptr<Impl> pImpl;
    bool bShownLast = false;
};
