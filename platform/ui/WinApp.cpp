// The application object's run: start-up, message loop, end.
#include "platform/ui/WinApp.h"

#include "platform/PlatformSession.h"
#include "platform/ui/Wnd.h"

#include <QApplication>

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace {
CWinApp* g_pApp = nullptr;
std::atomic<bool> g_bInLoop{false};

// The toolkit ends the process with exit() when it loses its display, from
// inside its own event dispatch; static destructors would then tear the
// application down under it. Leave without them instead.
void vOnExitInsideLoop()
{
    if (g_bInLoop)
        vLeaveOnSessionLost();
}
} // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

BOOL CWinApp::OnCommand(UINT)
{
    return FALSE;
}

BOOL CWinApp::bStartGraphics()
{
    if (pQtApp)
        return TRUE;
    if (QCoreApplication::instance())
        return TRUE; // a test harness made one already
    // The toolkit ends the process when it cannot reach the display; find
    // that out first, so that the program can say so and end in order.
    if (!bPrepareSession(strGraphicsProblem))
        return FALSE;
    pQtApp = std::make_unique<QApplication>(nQtArgc, ppQtArgv);
    // The program lives in the tray: closing its last window must not end it.
    pQtApp->setQuitOnLastWindowClosed(false);
    vStartPlatformSession();
    return TRUE;
}

void CWinApp::vStopGraphics()
{
    if (!pQtApp)
        return;
    vEndPlatformSession();
    pQtApp.reset();
}

int CWinApp::Run(int argc, char** argv)
{
    nQtArgc = argc > 0 ? 1 : 0;
    ppQtArgv[0] = argc > 0 ? argv[0] : nullptr;
    args.clear();
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // A write past the file-size limit fails with EFBIG instead of ending
    // the process; the failed write is then reported as any failed save.
    std::signal(SIGXFSZ, SIG_IGN);
    int code = 0;
    if (InitInstance() && QCoreApplication::instance()) {
        // Hooked after the start-up made its objects: exit() runs the hook
        // before their destructors, so the last step still finds them.
        static const bool bHooked = std::atexit(vOnExitInsideLoop) == 0;
        (void)bHooked;
        g_bInLoop = true;
        code = QCoreApplication::exec();
        g_bInLoop = false;
    }
    int exitCode = ExitInstance();
    return code != 0 ? code : exitCode;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}
