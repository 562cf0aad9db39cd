// The benchmark's private X server with a compositing manager (both from the
// shared test support), and its own connection to it.
#pragma once

#include "XvfbServer.h"

#include <X11/Xlib.h>

#include <string>

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
