// A private X server (Xvfb, found through -displayfd) with a compositing
// manager, and the benchmark's own connection to it.
#pragma once

#include "harness/ChildProcess.h"

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
    pid_t ServerPid() const { return server.Pid(); }
    pid_t CompositorPid() const { return compositor.Pid(); }
    int Width() const { return nWidth; }
    int Height() const { return nHeight; }

private:
    bool bStartServer(const std::string& logDir, int cpu);
    bool bStartCompositor(const std::string& logDir, int cpu);
    CChildProcess server;
    CChildProcess compositor;
    Display* dpy = nullptr;
    std::string strDisplay;
    int nWidth = 1280;
    int nHeight = 1024;
};
