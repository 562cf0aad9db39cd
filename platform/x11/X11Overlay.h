// The overlay on X11: an override-redirect ARGB window with an empty input
// shape, moved by the mouse reader over its own connection.
#pragma once

#include "platform/OverlayBackend.h"

#include <atomic>
#include <memory>

struct SX11Overlay;

class CX11Overlay : public COverlayBackend {
public:
    CX11Overlay();
    ~CX11Overlay() override;
    unsigned long nCreate() override;
    void vDestroy() override;
    BOOL bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha) override;
    // Converted on a worker and copied by the server; the old content
    // stays until the new one is there.
    BOOL bUpdateShared(std::shared_ptr<const CBitmap32> picture, std::uint8_t nConstantAlpha) override;
    void vShow(BOOL bShow) override;
    void vKeepOnTop(BOOL bKeep) override;
    void vMove(int x, int y) override;

private:
    std::unique_ptr<SX11Overlay> pIm;
    SX11Overlay& im;
    std::atomic<unsigned long> nWin{0};
};
