// A private X server for one test, benchmark run or demo: Xvfb picks a free
// display number itself and writes it to a pipe once it accepts connections
// (-displayfd). Also starts the desktop's helpers (compositor, tray host,
// window manager), each ready once it owns the selection it announces.
#pragma once

#include "ChildProcess.h"

#include <string>
#include <vector>

class CXvfbServer {
public:
    static constexpr int nWidth = 1280;  // the default screen
    static constexpr int nHeight = 800;

    struct Screen {
        int nWidth = CXvfbServer::nWidth;
        int nHeight = CXvfbServer::nHeight;
        int nDepth = 24;
        std::vector<std::string> extraArgs;  // e.g. "-extension", "Composite"
        int nCpu = -1;                       // pins the server when not negative
    };

    bool bStart(const std::string& strLogPath, const CDeadline& deadline) { return bStart(strLogPath, deadline, {}); }
    bool bStart(const std::string& strLogPath, const CDeadline& deadline, const Screen& screen);
    void vStop();

    const std::string& strDisplay() const { return strName; }  // ":N"
    const Screen& ScreenSetup() const { return screen; }
    CChildProcess& Process() { return process; }

    // Starts argv on this server with env (DISPLAY and PATH are added) and
    // returns once it owns strSelection (e.g. "_NET_WM_CM_S0"), or false when
    // it ended or the deadline passed first.
    bool bStartOwner(CChildProcess& client, const std::vector<std::string>& argv, std::vector<std::string> env,
                     const std::string& strSelection, const std::string& strLogPath, const CDeadline& deadline);

    // The helpers' argument lists, so that every caller runs them alike.
    static std::vector<std::string> CompositorArgs() { return {"xcompmgr"}; }
    static std::vector<std::string> TrayArgs(const std::string& strEdge = "bottom")
    {
        return {"trayer", "--edge", strEdge, "--align", "right", "--widthtype", "request", "--height", "24"};
    }
    static std::vector<std::string> WindowManagerArgs() { return {"openbox", "--sm-disable"}; }

private:
    CChildProcess process;
    std::string strName;
    Screen screen;
};
