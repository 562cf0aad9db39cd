// The main window: the hub that owns the pointer function and the input
// monitor, holds the pointer's on/off state, and decides what closing means.
#pragma once

#include "app/AboutLumicue.h"
#include "overlay/ClickRings.h"
#include "overlay/InputMonitor.h"
#include "overlay/PointerImplement.h"
#include "settings/PgeFun1.h"
#include "settings/PgeOptions.h"
#include "settings/PointerHost.h"
#include "ui/HLinkCtrl.h"
#include "ui/SkinDialog.h"
#include "ui/TabSheet.h"
#include "platform/ui/NotifyIcon.h"
#include "ui/MessageIds.h"

#include <QIcon>
#include <atomic>

class CLumicueMain : public CSkinDialog, public CPointerHost {
public:
    CLumicueMain();
    ~CLumicueMain() override;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Switches the pointer; answers the new state.
    BOOL bTogglePointer() override;
    // Redraws the pointer after its picture or opacity changed.
    void vUpdatePointer() override;
    BOOL bIsPointerOn() const override { return bPointerOn.load(); }
    // The pointer's size and the click rings as the Options page set them.
    void vApplyOptions() override;
    // Switches the pointer off before the tray menu's Exit.
    void vPrepareExit();
    // Hidden becomes shown and shown becomes hidden, minimising first.
    void vToggleVisible();
    // A request of the command line (--toggle, --on, --off, --status);
    // answers the pointer's state after it.
    LRESULT OnPointerRequest(WPARAM wRequest);

    CHLinkCtrl linkDonate;
    CHLinkCtrl linkSite;
    CTabSheet tabSheet;
    CPgeFun1 pageFun;

    // The notification-area icon, its balloons and its menu.
    void vAddTrayIcon();
    void vShowBalloon(const QString& title, const QString& text, UINT uTimeout, DWORD dwInfoFlags);
    LRESULT OnTaskBarN(WPARAM wParam, LPARAM lParam);
    LRESULT OnUpdateNotice(WPARAM wParam, LPARAM lParam);
    // Keeps the update notice's information id in Registry.ini.
    static BOOL bStoreInfoID(const QString& text);

    NOTIFYICONDATAW nid;
    QIcon hIcon;
    int nBalloonKind = 0;
    CAboutLumicue pageAbout;
    CPgeOptions pageOptions;
    CPointerImplement funPointer;
    CInputMonitor inputMonitor;
    CClickRings clickRings;
    // Read by the mouse thread while the UI thread writes it.
    std::atomic<BOOL> bPointerOn{FALSE};

private:
    BOOL bCreatePages();
    void vInitLinks();
    BOOL bOnCommand(UINT nID);
    void vOnClose();
    void vOnUpdateTimer();
    void vRemoveTrayIcon();
    void vOnTrayMenu();
    void vOnBalloonClick();
    BOOL bCannotFollow();

    BOOL bToldCannotFollow = FALSE; // the log says it once
    // Set by the first close: a close request that arrives while it runs
    // (during the failed save's message box) is ignored.
    BOOL bClosing = FALSE;
};

constexpr UINT TRAY_ICON_ID = 516;
