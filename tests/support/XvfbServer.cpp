// Xvfb start-up (the display number is read from the -displayfd pipe) and
// the helpers that announce themselves through a selection.
#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

std::string PathVariable()
{
    const char* path = getenv("PATH");
    return std::string("PATH=") + (path ? path : "/usr/bin:/bin");
}

} // namespace

bool CXvfbServer::bStart(const std::string& strLogPath, const CDeadline& deadline, const Screen& setup)
{
    screen = setup;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    CChildProcess::Options options;
    options.argv = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                    std::to_string(screen.nWidth) + "x" + std::to_string(screen.nHeight) + "x"
                        + std::to_string(screen.nDepth),
                    "-nolisten", "tcp", "-noreset"};
    options.argv.insert(options.argv.end(), screen.extraArgs.begin(), screen.extraArgs.end());
    options.env = {PathVariable()};
    options.strLogPath = strLogPath;
    options.nKeepFd = fds[1];
    bool bStarted = process.bStart(options);
    close(fds[1]);
    if (bStarted && screen.nCpu >= 0)
        process.bPinTo(screen.nCpu);
    std::string strRead;
    while (bStarted && strRead.find('\n') == std::string::npos) {
        pollfd p[2] = {{fds[0], POLLIN, 0}, {process.PidFd(), POLLIN, 0}};
        int n = poll(p, 2, deadline.nRemainingMs());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || (p[0].revents == 0 && p[1].revents != 0))
            break;  // time-out, or the server died before it was ready
        char buf[32];
        ssize_t got = read(fds[0], buf, sizeof buf);
        if (got <= 0)
            break;
        strRead.append(buf, static_cast<size_t>(got));
    }
    close(fds[0]);
    if (strRead.find('\n') == std::string::npos) {
        process.vStop();
        return false;
    }
    strName = ":" + strRead.substr(0, strRead.find('\n'));
    return true;
}

void CXvfbServer::vStop()
{
    // Xvfb needs about two seconds to honour SIGTERM, so it is killed. Its
    // lock file and socket stay: the next server on that number finds the
    // lock stale and replaces both. Removing them here could remove those of
    // a server that already took the number over, and a third server would
    // then share it.
    process.vStop();
    strName.clear();
}

bool CXvfbServer::bStartOwner(CChildProcess& client, const std::vector<std::string>& argv,
                              std::vector<std::string> env, const std::string& strSelection,
                              const std::string& strLogPath, const CDeadline& deadline)
{
    // A connection of its own, so that the caller's event queue stays as it was.
    Display* dpy = XOpenDisplay(strName.c_str());
    if (!dpy)
        return false;
    int nEventBase = 0, nErrorBase = 0;
    const Atom selection = XInternAtom(dpy, strSelection.c_str(), False);
    bool bOwned = false;
    if (XFixesQueryExtension(dpy, &nEventBase, &nErrorBase)) {
        XFixesSelectSelectionInput(dpy, DefaultRootWindow(dpy), selection, XFixesSetSelectionOwnerNotifyMask);
        XSync(dpy, False);
        env.push_back("DISPLAY=" + strName);
        env.push_back(PathVariable());
        const bool bStarted = client.bStart({argv, env, strLogPath});
        bOwned = bStarted && XGetSelectionOwner(dpy, selection) != None;
        while (bStarted && !bOwned && !client.bExited()) {
            while (XPending(dpy)) {
                XEvent ev;
                XNextEvent(dpy, &ev);
                bOwned = bOwned || ev.type == nEventBase + XFixesSelectionNotify;
            }
            if (bOwned)
                break;
            pollfd p[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {client.PidFd(), POLLIN, 0}};
            int n = poll(p, 2, deadline.nRemainingMs());
            if (n == 0 || (n < 0 && errno != EINTR))
                break;
        }
        bOwned = bOwned || XGetSelectionOwner(dpy, selection) != None;
    }
    XCloseDisplay(dpy);
    return bOwned;
}
