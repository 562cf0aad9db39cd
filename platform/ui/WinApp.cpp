// The application object's run: start-up, message loop, end.
#include "platform/ui/WinApp.h"

#include "platform/PlatformSession.h"
#include "platform/ui/Wnd.h"

#include <QApplication>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {
CWinApp* g_pApp = nullptr;
// From just before the toolkit connects until it is stopped.
std::atomic<bool> g_bSessionLive{false};
// Until the message loop runs.
std::atomic<bool> g_bStarting{false};
QtMessageHandler g_previousHandler = nullptr;

// The toolkit ends the process with exit() when it loses its display, from
// inside its own event dispatch or its start; static destructors would then
// tear the application down under it. Leave without them instead.
void vOnExitInsideSession()
{
    if (g_bSessionLive)
        vLeaveOnSessionLost();
}

// A display that goes away while the toolkit starts is a fatal message to
// it, and an abort after; the program ends with status 1 instead.
// Workaround: the toolkit's own X I/O error handler (set when it connects,
// over ours) and its event reader announce a lost connection with this
// warning and then call exit(), whose destructors of the toolkit's statics
// made during its start crash on the dead connection; leave before that.
void vOnToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool bLost = g_bSessionLive && text.startsWith(QLatin1String("The X11 connection broke"));
    if ((type == QtFatalMsg && g_bStarting) || bLost) {
        const QByteArray line = "lumicue: " + text.toLocal8Bit() + '\n';
        (void)!write(STDERR_FILENO, line.constData(), static_cast<size_t>(line.size()));
        vLeaveOnSessionLost();
    }
    if (g_previousHandler)
        g_previousHandler(type, context, text);
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
    if (QCoreApplication::instance())
        return TRUE; // started already, or a test harness made one
    // The toolkit ends the process when it cannot reach the display; find
    // that out first, so that the program can say so and end in order.
    if (!bPrepareSession(strGraphicsProblem))
        return FALSE;
    g_bStarting = true;
    g_previousHandler = qInstallMessageHandler(vOnToolkitMessage);
    std::atexit(vOnExitInsideSession);
    g_bSessionLive = true;
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
    g_bSessionLive = false;
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
        // Hooked again after the start-up made its objects: exit() runs the
        // hook before their destructors, so the last step still finds them.
        std::atexit(vOnExitInsideSession);
        g_bStarting = false;
        code = QCoreApplication::exec();
    }
    g_bStarting = false;
    int exitCode = ExitInstance();
    return code != 0 ? code : exitCode;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}
