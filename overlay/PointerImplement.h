// The high-visibility pointer: owns the overlay window, redraws and shows it
// at the cursor when the pointer is on, and moves it with every mouse move.
#pragma once

#include "overlay/BitmapPointWnd.h"
#include "overlay/FunImplementBase.h"

#include <atomic>

class CPointerImplement : public CFunImplementBase {
public:
    // bPointerOn is the main window's flag, the only on/off state of the
    // pointer; it must outlive this object.
    explicit CPointerImplement(const std::atomic<BOOL>& bPointerOn);
    ~CPointerImplement() override = default;

    BOOL bCreate() override;
    BOOL bDestroy() override;
    void vUpdate() override;
    BOOL bSwitch(BOOL bOn) override;
    void vOnMouseMove(UINT nFlags, int x, int y) override;
    void vOnLButtonDown(UINT nFlags, int x, int y) override;
    void vOnLButtonUp(UINT nFlags, int x, int y) override;
    void vOnRButtonDown(UINT nFlags, int x, int y) override;
    void vOnRButtonUp(UINT nFlags, int x, int y) override;
    void vOnKeyDown(UINT nKey, DWORD dwTime) override;
    void vOnKeyUp(UINT nKey, DWORD dwTime) override;

    CBitmapPointWnd wndPoint;

protected:
    // Redraws and shows the overlay at the cursor, or hides it when off.
    void vShowAtCursor();

private:
    const std::atomic<BOOL>& bPointerOn;
};
