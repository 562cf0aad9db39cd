// The benchmark's private X server with a compositing manager (both from the
// shared test support), and its own connection to it.
#pragma once

#include "ChildProcess.h"
#include "XvfbServer.h"

#include <X11/Xlib.h>

#include <string>
#include <vector>

class CXSession {
public:
    CXSession() = default;
    ~CXSession();
    CXSession(const CXSession&) = delete;
    CXSession& operator=(const CXSession&) = delete;

    // Starts the server and, when compositor is true, xcompmgr; returns once
    // the compositor owns its selection. Logs go to logDir. Both run on
    // CPU cpu when it is not negative.
    bool bStart(const std::string& logDir, int cpu = -1, bool compositor = true);
    void vStop();
    // Starts trayer, then the program hidden in its tray (/m) with env plus
    // DISPLAY, and returns once the main window was shown and hidden again;
    // what failed, or null. The root's structure events stay selected.
    const char* StartHiddenInTray(CChildProcess& tray, CChildProcess& program, const std::string& strProgram,
        std::vector<std::string> env, const std::string& logDir);

    Display* Dpy() const { return dpy; }
    const std::string& DisplayName() const { return strDisplay; }
    pid_t ServerPid() { return server.Process().Pid(); }
    pid_t CompositorPid() const { return compositor.Pid(); }
    int Width() const { return server.ScreenSetup().nWidth; }
    int Height() const { return server.ScreenSetup().nHeight; }

private:
    CXvfbServer server;
    CChildProcess compositor;
    Display* dpy = nullptr;
    std::string strDisplay;
};
