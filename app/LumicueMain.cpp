// The main window's start-up, commands, pointer switch and close sequence.
#include "app/LumicueMain.h"
#include "platform/DesktopRoute.h"

#include "app/LumicueApp.h"
#include "diag/ExceptionReport.h"
#include "lang/Language.h"
#include "platform/CursorPos.h"
#include "platform/DesktopRoute.h"
#include "platform/image/PictureDecoder.h"
#include "platform/storage/Ini.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/ShellOpen.h"
#include "platform/ui/Resources.h"
#include "platform/ui/WinApp.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"
#include "res/MakerSite.h"
#include "ui/SysColorSet.h"
#include "update/AutoUpdate.h"
#include "update/FSysAssist.h"

#include <QUrl>

namespace {

constexpr int kBalloonUpdate = 2;
constexpr UINT kUpdateCheckDelayMs = 60000;

// One minute; display tests shorten it through LUMICUE_TEST_UPDATE_DELAY_MS.
UINT UpdateCheckDelayMs()
{
    bool ok = false;
    const uint ms = qEnvironmentVariable("LUMICUE_TEST_UPDATE_DELAY_MS").toUInt(&ok);
    return ok ? ms : kUpdateCheckDelayMs;
}

} // namespace

CLumicueMain::CLumicueMain()
    : CSkinDialog(IDD_LUMICUE_MAIN, nullptr), pageFun(this), hIcon(LoadIconResource(IDI_APP)), pageOptions(this),
      funPointer(bPointerOn)
{
    // The shared colours, read once the toolkit runs; the gallery reads them again on a change.
    g_sysColors.RefreshColors();
}

CLumicueMain::~CLumicueMain()
{
    // Whatever way the window goes, no reader, update or decoding thread may outlive it.
    g_autoUpdate.vStop();
    CPictureDecoder::Instance().vStop();
    inputMonitor.vStop();
    funPointer.bDestroy();
    clickRings.bDestroy();
    vRemoveTrayIcon();
}

void CLumicueMain::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_LINK_DONATE, linkDonate);
    DDX_Control(pDX, IDC_LINK_SITE, linkSite);
    DDX_Control(pDX, IDC_TAB_SHEET, tabSheet);
}

BOOL CLumicueMain::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    TranslateDialog(this, IDD_LUMICUE_MAIN);
    // Pictures refused for their size are not shown; the log says why.
    CPictureDecoder::vSetLog([](const QString& text) {
        if (g_pAppAssist)
            g_pAppAssist->bWriteLog(LOG_OTHER_ERROR, nullptr, &text, nullptr, nullptr, 0, nullptr);
    });
    // One icon serves both sizes: the handler sets it whatever the size.
    SendMessage(WM_SETICON, ICON_BIG, 0);
    vAddTrayIcon();
    bCreatePages();
    vInitLinks();

    if (!inputMonitor.bStart(this, MONITOR_MOUSE)) {
        MessageBoxW(this, GetLangText(QStringLiteral("8"), QStringLiteral("Fatal Error Occur!")), QString(),
            MB_ICONERROR);
        return FALSE;
    }
    inputMonitor.vAddListener(&funPointer);
    funPointer.bCreate();
    inputMonitor.vAddListener(&clickRings);
    clickRings.vSetScale(CBitmapPointWnd::dCurrentScreenScale());
    clickRings.vEnable(GetCoreAssist()->presenter.bShowClicks);

    CLumicueOption& option = GetCoreAssist()->option;
    if (option.bAutoCheckUpdate)
        SetTimer(IDT_UPDATECHECK, UpdateCheckDelayMs());
    option.hotKey.bRegister(IDH_TOGGLE);
    return TRUE;
}

BOOL CLumicueMain::bCreatePages()
{
    pageFun.Create(IDD_POINTER_PAGE, &tabSheet);
    pageAbout.Create(IDD_ABOUT_PAGE, &tabSheet);
    pageOptions.Create(IDD_OPTIONS_PAGE, &tabSheet);
    tabSheet.AddPage(GetLangText(QStringLiteral("100"), QStringLiteral("Pointer")), &pageFun);
    tabSheet.AddPage(GetLangText(QStringLiteral("101"), QStringLiteral("About")), &pageAbout);
    tabSheet.AddPage(GetLangText(QStringLiteral("110"), QStringLiteral("Options")), &pageOptions);
    tabSheet.SetActivePage(0);
    SetCtrlStyle(IDC_APP_TITLE, SKIN_DEFAULT, &fontBoldLarger, SKIN_DEFAULT);
    return TRUE;
}

void CLumicueMain::vInitLinks()
{
    linkSite.ShowWindow(SW_SHOW);
    linkSite.vSetURL(SitePage());
    linkSite.SetWindowText(GetLangText(QStringLiteral("103"), QStringLiteral("Visit our site for more presentation utilities")));

    linkDonate.ShowWindow(SW_SHOW);
    linkDonate.vSetURL(DonatePage());
    linkDonate.SetWindowText(GetLangText(QStringLiteral("112"), QStringLiteral("Donate Now to Support Lumicue")));
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
        SetIcon(hIcon, wParam == ICON_BIG);
        return 0;
    case WM_TRAYNOTIFY:
        return OnTaskBarN(wParam, lParam);
    case WM_UPDATE_NEWVERSION:
        return OnUpdateNotice(wParam, lParam);
    case WM_HOTKEY:
        if (static_cast<int>(wParam) == IDH_TOGGLE)
            bTogglePointer();
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
        bShellOpen(ProductPage());
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
    if (bClosing)
        return FALSE; // the tray menu still works during the failed save's box
    const BOOL bOn = !bPointerOn.load();
    if (bOn && bCannotFollow())
        return FALSE;
    bPointerOn.store(bOn);
    funPointer.bSwitch(bOn);
    pageFun.vUpdateSwitchButton();
    if (bOn && IsWindowVisible())
        ShowWindow(SW_MINIMIZE);
    // A presenter may keep the switch from being announced in front of the audience.
    if (!GetCoreAssist()->presenter.bAnnounceSwitching)
        return bOn;
    const QString state = bOn ? GetLangText(QStringLiteral("107"), QStringLiteral(" is On"))
                              : GetLangText(QStringLiteral("108"), QStringLiteral(" is Off"));
    vShowBalloon(QStringLiteral("Lumicue"),
        QStringLiteral("%1 %2").arg(GetLangText(QStringLiteral("106"), QStringLiteral("Hight Visibility Pointer")), state),
        1000, NIIF_INFO);
    return bOn;
}

// Where the session gives no way to follow the pointer, the pointer stays
// off and the user is told why, instead of a picture stuck in one place.
BOOL CLumicueMain::bCannotFollow()
{
    CDesktopRoute* route = CurrentRoute();
    QString why;
    if (!route || route->bCanFollow(why))
        return FALSE;
    const QString text = QStringLiteral("Lumicue cannot follow the pointer on this desktop: ") + why;
    if (!bToldCannotFollow && g_pAppAssist)
        g_pAppAssist->bWriteLog(LOG_OTHER_ERROR, nullptr, &text, nullptr, nullptr, 0, nullptr);
    bToldCannotFollow = TRUE;
    vShowBalloon(QStringLiteral("Lumicue"), text, 5000, NIIF_WARNING);
    return TRUE;
}

LRESULT CLumicueMain::OnPointerRequest(WPARAM wRequest)
{
    // While the close waits for the user (the failed save's box), the
    // overlay is gone already: the pointer is off and stays so.
    if (bClosing)
        return wRequest == POINTER_STATUS || wRequest == POINTER_OFF ? POINTER_IS_OFF : POINTER_CLOSING;
    // On and off leave a pointer that is already so alone: no switch, no balloon.
    const BOOL bOn = bPointerOn.load();
    if (!bOn && (wRequest == POINTER_TOGGLE || wRequest == POINTER_ON) && bCannotFollow())
        return POINTER_CANNOT_FOLLOW;
    if (wRequest == POINTER_TOGGLE || (wRequest == POINTER_ON && !bOn) || (wRequest == POINTER_OFF && bOn))
        bTogglePointer();
    return bPointerOn.load() ? POINTER_IS_ON : POINTER_IS_OFF;
}

void CLumicueMain::vUpdatePointer()
{
    funPointer.vUpdate();
}

void CLumicueMain::vApplyOptions()
{
    funPointer.vUpdate();
    clickRings.vEnable(GetCoreAssist()->presenter.bShowClicks);
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
    bPointerOn.store(FALSE);
    inputMonitor.vStop();
    funPointer.bDestroy();
    clickRings.bDestroy();
    CLumicueOption& option = GetCoreAssist()->option;
    option.bUnregisterHotKey();
    option.vSave();
    g_autoUpdate.vStop();
    CPictureDecoder::Instance().vStop();
    vRemoveTrayIcon();
    PostQuitMessage(0);
}

void CLumicueMain::vOnUpdateTimer()
{
    CFSysAssist sys;
    QString product, internal, version;
    sys.GetVersionStrings(nullptr, nullptr, product, internal, version);
    g_autoUpdate.hNotifyWnd = this;
    g_autoUpdate.StartCheck(TRUE, product, UpdateIniAddress(), VersionTag(version));
    // The check runs once per run.
    KillTimer(IDT_UPDATECHECK);
}

void CLumicueMain::vAddTrayIcon()
{
    nid.hWnd = this;
    nid.cbSize = 936;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.szTip = QStringLiteral("Lumicue");
    nid.hIcon = hIcon;
    nid.uCallbackMessage = WM_TRAYNOTIFY;
    nid.uID = TRAY_ICON_ID;
    Shell_NotifyIconW(NIM_ADD, &nid);
    if (!bNotifyAreaPresent() && g_pAppAssist) {
        const QString text = QStringLiteral("No notification area runs; the tray icon appears when one starts");
        g_pAppAssist->bWriteLog(LOG_OTHER_ERROR, nullptr, &text, nullptr, nullptr, 0, nullptr);
    }
}

void CLumicueMain::vRemoveTrayIcon()
{
    Shell_NotifyIconW(NIM_DELETE, &nid);
}

void CLumicueMain::vShowBalloon(const QString& title, const QString& text, UINT uTimeout, DWORD dwInfoFlags)
{
    nid.hWnd = this;
    nid.cbSize = 936;
    nid.uFlags = NIF_INFO;
    nid.uID = TRAY_ICON_ID;
    nid.uTimeout = uTimeout;
    if (dwInfoFlags <= NIIF_ERROR)
        nid.dwInfoFlags = dwInfoFlags;
    CopyToField(nid.szInfoTitle, title, NID_INFO_TITLE_CHARS);
    CopyToField(nid.szInfo, text, NID_INFO_CHARS);
    Shell_NotifyIconW(NIM_MODIFY, &nid);
}

LRESULT CLumicueMain::OnTaskBarN(WPARAM wParam, LPARAM lParam)
{
    if (wParam != TRAY_ICON_ID)
        return 0;
    vReportExceptions("CSkinDialog", "OnTaskBarN", [&] {
        switch (lParam) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            ShowWindow(SW_RESTORE);
            SetForegroundWindow();
            break;
        case WM_RBUTTONUP:
            vOnTrayMenu();
            break;
        case NIN_BALLOONUSERCLICK:
            vOnBalloonClick();
            break;
        default:
            break;
        }
    });
    return 0;
}

void CLumicueMain::vOnTrayMenu()
{
    CMenu menu;
    if (!LoadMenuResource(IDR_TRAY_MENU, menu))
        return;
    TranslateMenu(menu, IDR_TRAY_MENU);
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    int x = 0, y = 0;
    CCursorPos::bGet(x, y);
    popup->CheckMenuItem(ID_TOGGLE_POINTER, MF_BYCOMMAND | (bPointerOn.load() ? MF_CHECKED : MF_UNCHECKED));
    TrackPopupMenu(*popup, TPM_RIGHTBUTTON | TPM_RIGHTALIGN, x, y, this);
}

void CLumicueMain::vOnBalloonClick()
{
    if (nBalloonKind != kBalloonUpdate)
        return;
    // The address comes from the network: only a web page is handed to the
    // desktop, never a file or a program.
    QUrl url(g_autoUpdate.strNewVerFile, QUrl::StrictMode);
    if (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http"))
        url = QUrl(ProductPage());
    bShellOpen(url.toString());
    if (!g_autoUpdate.strInfoID.isEmpty())
        bStoreInfoID(g_autoUpdate.strInfoID);
}

LRESULT CLumicueMain::OnUpdateNotice(WPARAM, LPARAM)
{
    const QString title = GetLangText(QStringLiteral("10"), QStringLiteral("Lumicue Update"));
    const QString text = GetLangText(QStringLiteral("11"),
        QStringLiteral("New version of Lumicue is available, click here for more information."));
    nBalloonKind = kBalloonUpdate;
    vShowBalloon(title, text, 20000, NIIF_INFO);
    return 0;
}

BOOL CLumicueMain::bStoreInfoID(const QString& text)
{
    return WritePrivateProfileStringW(QStringLiteral("Software\\Lumicue"), QStringLiteral("InfoID"), text,
        GetCoreAssist()->strDataDir + QStringLiteral("/Registry.ini"));
}
