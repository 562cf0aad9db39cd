// Starting and ending the private X server and its compositor.
#include "harness/XSession.h"

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
