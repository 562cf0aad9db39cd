// Starting and ending the private X server and its compositor.
#include "harness/XSession.h"

#include "harness/XWait.h"

#include <X11/extensions/Xfixes.h>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kStartDeadlineMs = 10000;

// Reads the display number Xvfb writes once it accepts connections.
std::string ReadDisplayNumber(int fd)
{
    std::string number;
    pollfd p = {fd, POLLIN, 0};
    while (poll(&p, 1, kStartDeadlineMs) > 0) {
        char c;
        if (read(fd, &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    return number;
}

} // namespace

CXSession::~CXSession()
{
    vStop();
}

bool CXSession::bStart(const std::string& logDir, int cpu, bool withCompositor)
{
    if (!bStartServer(logDir, cpu))
        return false;
    return !withCompositor || bStartCompositor(logDir, cpu);
}

bool CXSession::bStartServer(const std::string& logDir, int cpu)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const std::string screen = std::to_string(nWidth) + "x" + std::to_string(nHeight) + "x24";
    const bool started = server.bStart({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                        "-nolisten", "tcp", "-noreset"},
                                       {}, logDir + "/Xvfb.log");
    close(fds[1]);
    if (started && cpu >= 0)
        server.bPinTo(cpu);
    const std::string number = started ? ReadDisplayNumber(fds[0]) : "";
    close(fds[0]);
    if (number.empty())
        return false;
    strDisplay = ":" + number;
    dpy = XOpenDisplay(strDisplay.c_str());
    return dpy != nullptr;
}

bool CXSession::bStartCompositor(const std::string& logDir, int cpu)
{
    int eventBase, errorBase;
    if (!XFixesQueryExtension(dpy, &eventBase, &errorBase))
        return false;
    const Atom selection = XInternAtom(dpy, ("_NET_WM_CM_S" + std::to_string(DefaultScreen(dpy))).c_str(), False);
    XFixesSelectSelectionInput(dpy, DefaultRootWindow(dpy), selection, XFixesSetSelectionOwnerNotifyMask);
    XSync(dpy, False);
    if (!compositor.bStart({"xcompmgr"}, {"DISPLAY=" + strDisplay}, logDir + "/xcompmgr.log"))
        return false;
    if (cpu >= 0)
        compositor.bPinTo(cpu);
    if (XGetSelectionOwner(dpy, selection) != None)
        return true;
    return CXWait::bUntil(dpy, NowNs() + kStartDeadlineMs * 1000000LL, [&](const XEvent& ev) {
        return ev.type == eventBase + XFixesSelectionNotify
               && reinterpret_cast<const XFixesSelectionNotifyEvent&>(ev).owner != None;
    });
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
