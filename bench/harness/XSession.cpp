// Starting and ending the private X server and its compositor.
#include "harness/XSession.h"

#include "harness/Clock.h"
#include "harness/XWait.h"

namespace {

constexpr int kStartDeadlineSeconds = 10;

} // namespace

CXSession::~CXSession()
{
    vStop();
}

bool CXSession::bStart(const std::string& logDir, int cpu, bool withCompositor)
{
    CXvfbServer::Screen screen;
    screen.nHeight = 1024;
    screen.nCpu = cpu;
    if (!server.bStart(logDir + "/Xvfb.log", CDeadline::Seconds(kStartDeadlineSeconds), screen))
        return false;
    strDisplay = server.strDisplay();
    dpy = XOpenDisplay(strDisplay.c_str());
    if (!dpy)
        return false;
    if (!withCompositor)
        return true;
    if (!server.bStartOwner(compositor, CXvfbServer::CompositorArgs(), {}, "_NET_WM_CM_S0", logDir + "/xcompmgr.log",
                            CDeadline::Seconds(kStartDeadlineSeconds)))
        return false;
    if (cpu >= 0)
        compositor.bPinTo(cpu);
    return true;
}

void CXSession::vStop()
{
    compositor.vStop();
    if (dpy) {
        XCloseDisplay(dpy);
        dpy = nullptr;
    }
    server.vStop();
}

const char* CXSession::StartHiddenInTray(CChildProcess& tray, CChildProcess& program, const std::string& strProgram,
    std::vector<std::string> env, const std::string& logDir)
{
    const long long deadline = NowNs() + kStartDeadlineSeconds * 1000000000LL;
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    env.push_back("DISPLAY=" + strDisplay);
    if (!tray.bStart(CXvfbServer::TrayArgs(), env, logDir + "/trayer.log")
        || !CXWait::bUntil(dpy, deadline, [](const XEvent& ev) { return ev.type == MapNotify; }))
        return "trayer did not show";
    if (!program.bStart({strProgram, "/m"}, env, logDir + "/lumicue.log"))
        return "cannot start the program";
    // Its first balloon-less map: the main window, shown and hidden by /m.
    CXWait::bUntil(dpy, deadline, [](const XEvent& ev) { return ev.type == UnmapNotify; });
    return nullptr;
}
