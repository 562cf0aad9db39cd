// Start-up and end of the program, and the single-instance protocol.
#include "app/LumicueApp.h"

#include "app/CommandLine.h"
#include "app/LumicueMain.h"
#include "lang/Language.h"
#include "platform/storage/AutoRun.h"
#include "platform/instance/RemoteWindow.h"
#include "platform/instance/RuntimeFolder.h"
#include "res/ResourceIds.h"
#include "settings/CoreAssist.h"

const QString kInstanceName = QStringLiteral("LUMICUE-46E5F037-5C31-4fbf-8265-2F0AA7A4A547");
const QString kExitName = QStringLiteral("LUMICUE-EXIT-46E5F037-5C31-4fbf-8265-2F0AA7A4A547");
const UINT g_uInstanceMessage = RegisterWindowMessageW(kInstanceName);
const UINT g_uExitMessage = RegisterWindowMessageW(kExitName);
CLumicueMain* g_pLumicueMain = nullptr;

namespace {

constexpr UINT kFindTimeoutMs = 200;
// Open is sent and waited for; a hung first instance must not hang us for ever.
constexpr UINT kOpenTimeoutMs = 5000;

// What a second instance may ask of the first one; nothing else is delivered.
bool bInstanceRequestAllowed(UINT message, WPARAM wParam, LPARAM)
{
    return message == g_uInstanceMessage || message == g_uExitMessage
        || (message == WM_COMMAND && LOWORD(wParam) == ID_OPEN);
}

} // namespace

CLumicueApp::CLumicueApp() = default;

CLumicueApp::~CLumicueApp() = default;

BOOL CLumicueApp::FindRunningInstanceProc(const CRemoteWindow& window, std::optional<CRemoteWindow>& out)
{
    LRESULT answer = 0;
    if (!window.bSendMessageTimeout(g_uInstanceMessage, 0, 0, kFindTimeoutMs, &answer))
        return TRUE;
    if (answer == static_cast<LRESULT>(g_uInstanceMessage)) {
        out = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CLumicueApp::bRemoveAutoRun()
{
    bDeleteAutoRunEntry(QStringLiteral("Lumicue"));
    return TRUE;
}

BOOL CLumicueApp::InitInstance()
{
    hMutex.bCreate(kInstanceName);
    const BOOL bRunning = hMutex.bAlreadyExists();
    std::optional<CRemoteWindow> running;
    if (bRunning)
        EnumWindows(kInstanceName, [&](const CRemoteWindow& w) { return FindRunningInstanceProc(w, running); });

    QStringList words;
    ParseCommandLine(GetCommandLineArgs(), words);
    const StartAction action = GetStartAction(words);
    if (action == StartAction::Clean || action == StartAction::Quit || bRunning) {
        vActOnRunningInstance(action, running);
        return FALSE;
    }

    bStartGraphics();
    CCoreAssist* core = GetCoreAssist();
    if (!core->bInitialize())
        return FALSE;
    const QString folder = QStringLiteral("Language");
    InitLanguage(&folder, nullptr, &core->strDataDir);
    vCreateMainWindow(action == StartAction::Hidden);
    return TRUE;
}

void CLumicueApp::vActOnRunningInstance(StartAction action, const std::optional<CRemoteWindow>& running)
{
    if (action == StartAction::Clean)
        bRemoveAutoRun();
    if (!running)
        return;
    if (action == StartAction::Clean || action == StartAction::Quit) {
        running->bPostMessage(g_uExitMessage, 0, 0);
        return;
    }
    // Open restores the window from hidden or minimised and brings it
    // forward; the first instance does that for its own window.
    LRESULT ignored = 0;
    running->bSendMessageTimeout(WM_COMMAND, ID_OPEN, 0, kOpenTimeoutMs, &ignored);
}

void CLumicueApp::vCreateMainWindow(BOOL bHidden)
{
    g_pLumicueMain = new CLumicueMain;
    m_pMainWnd = g_pLumicueMain;
    AfxSetMainWnd(g_pLumicueMain);
    g_pLumicueMain->Create(IDD_LUMICUE_MAIN, nullptr);
    instanceServer.bListen(kInstanceName, g_pLumicueMain, bInstanceRequestAllowed);

    g_pLumicueMain->ShowWindow(SW_SHOW);
    if (bHidden)
        g_pLumicueMain->vToggleVisible();
}

int CLumicueApp::ExitInstance()
{
    instanceServer.vClose();
    if (g_pLumicueMain) {
        AfxSetMainWnd(nullptr);
        m_pMainWnd = nullptr;
        delete g_pLumicueMain;
        g_pLumicueMain = nullptr;
    }
    GetCoreAssist()->bUninitialize();
    hMutex.vClose();
    vStopGraphics();
    return CWinApp::ExitInstance();
}

BOOL CLumicueApp::OnCommand(UINT nID)
{
    if (nID != ID_APP_EXIT || !g_pLumicueMain)
        return FALSE;
    g_pLumicueMain->vPrepareExit();
    g_pLumicueMain->SendMessage(WM_CLOSE);
    return TRUE;
}
