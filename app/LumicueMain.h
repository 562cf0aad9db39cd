// The main window: the hub that owns the pointer function and the input
// monitor, holds the pointer's on/off state, and decides what closing means.
#pragma once

#include "overlay/InputMonitor.h"
#include "overlay/PointerImplement.h"
#include "platform/ui/Dialog.h"

#include <QIcon>
#include <atomic>

class CLumicueMain : public CDialog {
public:
    CLumicueMain();
    ~CLumicueMain() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Switches the pointer; answers the new state.
    BOOL bTogglePointer();
    // Redraws the pointer after its picture or opacity changed.
    void vUpdatePointer();
    // Switches the pointer off before the tray menu's Exit.
    void vPrepareExit();
    // Hidden becomes shown and shown becomes hidden, minimising first.
    void vToggleVisible();
    // A request of the command line (--toggle, --on, --off, --status);
    // answers the pointer's state after it.
    LRESULT OnPointerRequest(WPARAM wRequest);

    QIcon hIcon;
    int nBalloonKind = 0;
    CPointerImplement funPointer;
    CInputMonitor inputMonitor;
    // Read by the mouse thread while the UI thread writes it.
    std::atomic<BOOL> bPointerOn{FALSE};

private:
    BOOL bOnCommand(UINT nID);
    void vOnClose();
    void vOnUpdateTimer();
};
