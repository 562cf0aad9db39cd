// The main window's start-up, commands, pointer switch and close sequence.
#include "app/LumicueMain.h"

#include "app/LumicueApp.h"
#include "lang/Language.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/ShellOpen.h"
#include "platform/ui/Resources.h"
#include "platform/ui/WinApp.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"
#include "settings/MakerSite.h"
#include "ui/SysColorSet.h"

#include <QWidget>

CLumicueMain::CLumicueMain()
    : CSkinDialog(IDD_LUMICUE_MAIN, nullptr), hIcon(LoadIconResource(IDI_APP)), funPointer(bPointerOn)
{
    // The shared colours were first read before the toolkit ran.
    g_sysColors.RefreshColors();
}

CLumicueMain::~CLumicueMain()
{
    // Whatever way the window goes, no reader thread may outlive it.
    inputMonitor.vStop();
    funPointer.bDestroy();
}

void CLumicueMain::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_LINK_DONATE, linkDonate);
    DDX_Control(pDX, IDC_LINK_SITE, linkSite);
    DDX_Control(pDX, IDC_TAB_SHEET, tabSheet);
}

BOOL CLumicueMain::OnInitDialog()
{
    CDialog::OnInitDialog();
    CreateSkinFonts();
    TranslateDialog(this, IDD_LUMICUE_MAIN);
    SendMessage(WM_SETICON, ICON_BIG, 0);
    SendMessage(WM_SETICON, ICON_SMALL, 0);
    bCreatePages();
    vInitLinks();

    if (!inputMonitor.bStart(this, MONITOR_MOUSE)) {
        MessageBoxW(this, GetLangText(QStringLiteral("8"), QStringLiteral("Fatal Error Occur!")), QString(),
            MB_ICONERROR);
        return FALSE;
    }
    inputMonitor.vAddListener(&funPointer);
    funPointer.bCreate();

    CLumicueOption& option = GetCoreAssist()->option;
    if (option.bAutoCheckUpdate)
        SetTimer(IDT_UPDATECHECK, 60000);
    option.hotKey.bRegister(IDH_TOGGLE);
    return TRUE;
}

BOOL CLumicueMain::bCreatePages()
{
    pageFun.Create(IDD_POINTER_PAGE, &tabSheet);
    pageAbout.Create(IDD_ABOUT_PAGE, &tabSheet);
    tabSheet.AddPage(GetLangText(QStringLiteral("100"), QStringLiteral("Pointer")), &pageFun);
    tabSheet.AddPage(GetLangText(QStringLiteral("101"), QStringLiteral("About")), &pageAbout);
    tabSheet.SetActivePage(0);
    SetCtrlStyle(IDC_APP_TITLE, SKIN_DEFAULT, &fontBoldLarger, SKIN_DEFAULT);
    return TRUE;
}

void CLumicueMain::vInitLinks()
{
    const QString site = QString::fromLatin1(MAKER_SITE);
    linkSite.ShowWindow(SW_SHOW);
    linkSite.vSetURL(site);
    linkSite.SetWindowText(site);
    linkSite.SetWindowText(GetLangText(QStringLiteral("103"), QStringLiteral("Visit our site for more presentation utilities")));

    const QString donate = site + QStringLiteral("/lumicue/donate.htm");
    linkDonate.ShowWindow(SW_SHOW);
    linkDonate.vSetURL(donate);
    linkDonate.SetWindowText(donate);
    linkDonate.SetWindowText(QStringLiteral("Donate Now to Support Lumicue"));
}

void CLumicueMain::OnOK()
{
    vToggleVisible();
    pageFun.vStoreSettings();
    GetCoreAssist()->option.vSave();
}

void CLumicueMain::OnCancel()
{
    vToggleVisible();
}

LRESULT CLumicueMain::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_uInstanceMessage)
        return static_cast<LRESULT>(g_uInstanceMessage);
    if (message == g_uExitMessage) {
        SendMessage(WM_CLOSE);
        return 0;
    }
    if (message == g_uPointerMessage)
        return OnPointerRequest(wParam);
    switch (message) {
    case WM_CLOSE:
        vOnClose();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            vToggleVisible();
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == IDT_UPDATECHECK)
            vOnUpdateTimer();
        break;
    case WM_HELP:
        return TRUE;
    case WM_SETICON:
        if (QWidget* w = GetSafeWidget())
            w->setWindowIcon(hIcon);
        return 0;
    case WM_HOTKEY:
        if (static_cast<int>(wParam) == IDH_TOGGLE) {
            bTogglePointer();
            pageFun.vUpdateSwitchButton();
        }
        return 0;
    case WM_COMMAND:
        if (lParam == 0 && LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
            if (!bOnCommand(LOWORD(wParam)) && AfxGetApp())
                AfxGetApp()->OnCommand(LOWORD(wParam));
            return 0;
        }
        break;
    default:
        break;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

BOOL CLumicueMain::bOnCommand(UINT nID)
{
    switch (nID) {
    case ID_APP_ABOUT:
        ShowWindow(SW_SHOW);
        ShowWindow(SW_RESTORE);
        SetForegroundWindow();
        tabSheet.SetActivePage(1);
        return TRUE;
    case ID_OPEN:
        ShowWindow(SW_RESTORE);
        SetForegroundWindow();
        return TRUE;
    case IDC_EXIT:
        SendMessage(WM_CLOSE);
        return TRUE;
    case ID_VISIT:
        bShellOpen(QString::fromLatin1(MAKER_SITE) + QStringLiteral("/lumicue/"));
        return TRUE;
    case ID_TOGGLE_POINTER:
        bTogglePointer();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CLumicueMain::bTogglePointer()
{
    const BOOL bOn = !bPointerOn.load();
    bPointerOn.store(bOn);
    funPointer.bSwitch(bOn);
    pageFun.vUpdateSwitchButton();
    if (bOn && IsWindowVisible())
        ShowWindow(SW_MINIMIZE);
    return bOn;
}

LRESULT CLumicueMain::OnPointerRequest(WPARAM wRequest)
{
    // On and off leave a pointer that is already so alone: no switch, no balloon.
    const BOOL bOn = bPointerOn.load();
    if (wRequest == POINTER_TOGGLE || (wRequest == POINTER_ON && !bOn) || (wRequest == POINTER_OFF && bOn))
        bTogglePointer();
    return bPointerOn.load() ? POINTER_IS_ON : POINTER_IS_OFF;
}

void CLumicueMain::vUpdatePointer()
{
    funPointer.vUpdate();
}

void CLumicueMain::vPrepareExit()
{
    bPointerOn.store(FALSE);
    funPointer.bSwitch(FALSE);
    pageFun.vUpdateSwitchButton();
}

void CLumicueMain::vToggleVisible()
{
    const BOOL bWasVisible = IsWindowVisible();
    ShowWindow(SW_MINIMIZE);
    ShowWindow(bWasVisible ? SW_HIDE : SW_SHOWNORMAL);
}

void CLumicueMain::vOnClose()
{
    if (bClosing)
        return;
    bClosing = TRUE;
    inputMonitor.vStop();
    funPointer.bDestroy();
    CLumicueOption& option = GetCoreAssist()->option;
    option.bUnregisterHotKey();
    option.vSave();
    PostQuitMessage(0);
}

void CLumicueMain::vOnUpdateTimer()
{
    // The check runs once per run.
    KillTimer(IDT_UPDATECHECK);
}
