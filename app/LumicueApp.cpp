// Start-up and end of the program, and the single-instance protocol.
#include "app/LumicueApp.h"

#include "app/CommandLine.h"
#include "app/LumicueMain.h"
#include "diag/FAppAssist.h"
#include "diag/LogTypes.h"
#include "lang/Language.h"
#include "platform/PlatformSession.h"
#include "platform/storage/AutoRun.h"
#include "platform/instance/RemoteWindow.h"
#include "platform/instance/RuntimeFolder.h"
#include "res/LumicueResources.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

const QString kInstanceName = QStringLiteral("LUMICUE-46E5F037-5C31-4fbf-8265-2F0AA7A4A547");
const QString kExitName = QStringLiteral("LUMICUE-EXIT-46E5F037-5C31-4fbf-8265-2F0AA7A4A547");
const UINT g_uInstanceMessage = RegisterWindowMessageW(kInstanceName);
const UINT g_uExitMessage = RegisterWindowMessageW(kExitName);
const QString kPointerName = QStringLiteral("LUMICUE-POINTER-46E5F037-5C31-4fbf-8265-2F0AA7A4A547");
const UINT g_uPointerMessage = RegisterWindowMessageW(kPointerName);
CLumicueMain* g_pLumicueMain = nullptr;

namespace {

// The lock says an instance runs, so it is worth waiting for: long enough
// for one that is still starting or busy, short enough for a script.
constexpr UINT kFindTimeoutMs = 2000;
// Open is sent and waited for; a hung first instance must not hang us for ever.
constexpr UINT kOpenTimeoutMs = 5000;

// The window system is gone: keep the settings if the disk allows.
void vSaveOptionsOnSessionLost()
{
    CCoreAssist* core = GetCoreAssist();
    core->option.bSave(core->strDataDir);
}

// What a second instance may ask of the first one; nothing else is delivered.
bool bInstanceRequestAllowed(UINT message, WPARAM wParam, LPARAM)
{
    return message == g_uInstanceMessage || message == g_uExitMessage || message == g_uPointerMessage
        || (message == WM_COMMAND && LOWORD(wParam) == ID_OPEN);
}

void vPrintLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

int nNoAnswer()
{
    vPrintLine(stderr, QStringLiteral("Lumicue is running but does not answer"));
    return EXIT_NO_ANSWER;
}

// The first window that answers the instance message, if any.
std::optional<CRemoteWindow> FindRunningInstance()
{
    std::optional<CRemoteWindow> running;
    EnumWindows(kInstanceName, [&](const CRemoteWindow& window) {
        LRESULT answer = 0;
        if (window.bSendMessageTimeout(g_uInstanceMessage, 0, 0, kFindTimeoutMs, &answer)
            && answer == static_cast<LRESULT>(g_uInstanceMessage)) {
            running = window;
            return FALSE;
        }
        return TRUE;
    });
    return running;
}

} // namespace

CLumicueApp::CLumicueApp() = default;

CLumicueApp::~CLumicueApp() = default;

BOOL CLumicueApp::bRemoveAutoRun()
{
    bDeleteAutoRunEntry(QStringLiteral("Lumicue"));
    return TRUE;
}

BOOL CLumicueApp::InitInstance()
{
    QString strUnknown;
    const LongOption longOption = GetLongOption(GetCommandLineArgs(), &strUnknown);
    if (longOption != LongOption::None) {
        nExitCode = nRunLongOption(longOption, strUnknown);
        return FALSE;
    }

    if (!hMutex.bCreate(kInstanceName)) {
        // Running unlocked would let every start run alone and /u reach none.
        vPrintLine(stderr, QStringLiteral("lumicue: no private folder for the single-instance lock "
                                          "(XDG_RUNTIME_DIR, XDG_CACHE_HOME or HOME); not started"));
        nExitCode = 1;
        return FALSE;
    }
    const BOOL bRunning = hMutex.bAlreadyExists();
    QStringList words;
    ParseCommandLine(GetCommandLineArgs(), words);
    const StartAction action = GetStartAction(words);
    if (action == StartAction::Clean || action == StartAction::Quit || bRunning) {
        nExitCode = nActOnRunningInstance(action, bRunning);
        return FALSE;
    }
    // Later starts that come while this one starts wait in the socket's
    // backlog instead of finding nobody.
    instanceServer.bOpen(kInstanceName);

    if (!bStartGraphics()) {
        vPrintLine(stderr, QStringLiteral("Lumicue needs an X11 display: ") + GetGraphicsProblem());
        nExitCode = 1;
        return FALSE;
    }
    // Only a start that makes windows needs them; a command-line request does not.
    vRegisterResources(LumicueResources());
    CCoreAssist* core = GetCoreAssist();
    if (!core->bInitialize())
        return FALSE;
    vSetSessionLostHandler(vSaveOptionsOnSessionLost);
    const QString folder = QStringLiteral("Language");
    InitLanguage(&folder, nullptr, &core->strDataDir);
    vCreateMainWindow(action == StartAction::Hidden);
    return TRUE;
}

int CLumicueApp::nRunLongOption(LongOption option, const QString& strUnknown)
{
    switch (option) {
    case LongOption::Help:
        std::fputs(GetUsageText().toLocal8Bit().constData(), stdout);
        return 0;
    case LongOption::Version:
        vPrintLine(stdout, QStringLiteral("Lumicue " LUMICUE_VERSION_TEXT));
        return 0;
    case LongOption::Unknown:
        vPrintLine(stderr, QStringLiteral("lumicue: unknown option \"%1\"").arg(PrintableArgument(strUnknown)));
        std::fputs(GetUsageText().toLocal8Bit().constData(), stderr);
        return 2;
    default:
        return nControlRunningInstance(option);
    }
}

int CLumicueApp::nControlRunningInstance(LongOption option)
{
    // The lock is not taken: a control request must never become, or stand
    // in the way of, the first instance.
    if (!CInstanceLock::bIsHeld(kInstanceName)) {
        vPrintLine(stderr, QStringLiteral("Lumicue is not running; start it first."));
        return EXIT_NOT_RUNNING;
    }
    const std::optional<CRemoteWindow> running = FindRunningInstance();
    if (!running)
        return nNoAnswer();
    WPARAM request = POINTER_STATUS;
    if (option == LongOption::Toggle)
        request = POINTER_TOGGLE;
    else if (option == LongOption::On)
        request = POINTER_ON;
    else if (option == LongOption::Off)
        request = POINTER_OFF;
    LRESULT answer = 0;
    if (!running->bSendMessageTimeout(g_uPointerMessage, request, 0, kOpenTimeoutMs, &answer)
        || (answer != POINTER_IS_ON && answer != POINTER_IS_OFF && answer != POINTER_CLOSING
            && answer != POINTER_CANNOT_FOLLOW))
        return nNoAnswer();
    if (answer == POINTER_CLOSING) {
        vPrintLine(stderr, QStringLiteral("Lumicue is closing; the pointer stays off."));
        return 1;
    }
    if (answer == POINTER_CANNOT_FOLLOW) {
        vPrintLine(stderr, QStringLiteral("Lumicue cannot follow the pointer on this desktop; the pointer stays off."));
        return EXIT_CANNOT_FOLLOW;
    }
    if (option == LongOption::Status)
        vPrintLine(stdout, answer == POINTER_IS_ON ? QStringLiteral("on") : QStringLiteral("off"));
    return 0;
}

int CLumicueApp::nActOnRunningInstance(StartAction action, BOOL bRunning)
{
    if (action == StartAction::Clean)
        bRemoveAutoRun();
    if (!bRunning)
        return 0;
    const std::optional<CRemoteWindow> running = FindRunningInstance();
    if (!running)
        return nNoAnswer();
    if (action == StartAction::Clean || action == StartAction::Quit)
        return running->bPostMessage(g_uExitMessage, 0, 0) ? 0 : nNoAnswer();
    // Open restores the window from hidden or minimised and brings it
    // forward; the first instance does that for its own window.
    LRESULT ignored = 0;
    return running->bSendMessageTimeout(WM_COMMAND, ID_OPEN, 0, kOpenTimeoutMs, &ignored) ? 0 : nNoAnswer();
}

void CLumicueApp::vCreateMainWindow(BOOL bHidden)
{
    g_pLumicueMain = new CLumicueMain;
    AfxSetMainWnd(g_pLumicueMain);
    g_pLumicueMain->Create(IDD_LUMICUE_MAIN, nullptr);
    if (!instanceServer.bListen(kInstanceName, g_pLumicueMain, bInstanceRequestAllowed)) {
        // Until a retry succeeds, later starts, /u and /clean cannot reach this instance.
        const QString text = QStringLiteral("single-instance channel: cannot listen (%1); trying again")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)));
        vPrintLine(stderr, QStringLiteral("lumicue: ") + text);
        if (g_pAppAssist)
            g_pAppAssist->bWriteLog(LOG_CALL_FAIL, &text, nullptr, nullptr, nullptr, -1, nullptr);
    }

    g_pLumicueMain->ShowWindow(SW_SHOW);
    if (bHidden)
        g_pLumicueMain->vToggleVisible();
}

int CLumicueApp::ExitInstance()
{
    instanceServer.vClose();
    if (g_pLumicueMain) {
        AfxSetMainWnd(nullptr);
        delete g_pLumicueMain;
        g_pLumicueMain = nullptr;
    }
    GetCoreAssist()->bUninitialize();
    hMutex.vClose();
    vStopGraphics();
    const int nBase = CWinApp::ExitInstance();
    return nExitCode != 0 ? nExitCode : nBase;
}

BOOL CLumicueApp::OnCommand(UINT nID)
{
    if (nID != ID_APP_EXIT || !g_pLumicueMain)
        return FALSE;
    g_pLumicueMain->vPrepareExit();
    g_pLumicueMain->SendMessage(WM_CLOSE);
    return TRUE;
}
