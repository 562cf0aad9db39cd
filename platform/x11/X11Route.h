// The X11 session's route: the overlay window, XInput2 and key grabs, all on
// the X server the toolkit uses too.
#pragma once

#include "platform/base/Win32.h"
#include "platform/DesktopRoute.h"

class CX11Route : public CDesktopRoute {
public:
    EDesktopRoute Kind() const override { return EDesktopRoute::X11; }
    std::unique_ptr<COverlayBackend> MakeOverlay() override;
    std::unique_ptr<CInputSource> MakeInput(CInputDevice::Kind kind) override;
    BOOL bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk) override;
    BOOL bUnregisterHotKey(CWnd* target, int id) override;
    BOOL bCursorPos(int& x, int& y) override;

    // Before the toolkit starts: the X server can be reached, and the toolkit
    // is told to use it; false with the reason, one line, when not.
    static BOOL bPrepare(QString& strProblem);
    // After the toolkit's windows are gone: the UI thread's own connection.
    static void vCloseUiDisplay();
};
