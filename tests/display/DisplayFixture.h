// The fixture of every display test: a private Xvfb, optionally a
// compositing manager, a tray host and a window manager, a private HOME with XDG folders and an
// install folder, the real program started from there with its own
// environment, and a test connection to drive and inspect it all. Teardown
// ends every process it started, group and all, and prints the program's
// output when the test failed.
#pragma once

// GoogleTest before Xlib: Xlib's None and Bool macros break its templates.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "TestDirectory.h"
#include "TestDisplay.h"
#include "XvfbServer.h"

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct DisplaySetup {
    bool bCompositor = true;       // xcompmgr, the compositing manager
    bool bTray = false;            // trayer, a system tray host
    bool bShippedPointers = true;  // copy the shipped pictures into pointer/
    bool bWindowManager = false;   // openbox: focus, minimise, activation
    int nDepth = 24;               // of the screen's default visual
    bool bComposite = true;        // the extension, which also offers a 32-bit visual
    int nScreenWidth = CXvfbServer::nWidth;
    int nScreenHeight = CXvfbServer::nHeight;
};

struct LaunchOptions {
    std::string strLang = "C.UTF-8";
    std::vector<std::string> extraEnv;  // NAME=value, replacing the fixture's own NAME
    std::string strUlimit;              // limits for the shell's ulimit, e.g. "-f 0"
};

class CDisplayFixture : public ::testing::Test {
protected:
    static constexpr const char* szMainTitle = "Lumicue";

    // A test class overrides this to choose what runs beside the server.
    virtual DisplaySetup Setup() const { return {}; }

    void SetUp() override;
    void TearDown() override;

    bool bStartCompositor();
    void vStopCompositor();
    bool bStartTray();
    bool bStartWindowManager();

    // Starts the installed program with these arguments; the process stays
    // the fixture's and is ended at teardown.
    CChildProcess& Launch(const std::vector<std::string>& args = {}, const LaunchOptions& options = {});
    // Waits for the end of a process; its exit code, -1 when it is still running.
    int nWaitExit(CChildProcess& process, int nSeconds = 10);
    // Launches and waits for the end: a start that is to hand over and go.
    int nRunToEnd(const std::vector<std::string>& args, const LaunchOptions& options = {});
    // Launches and waits until its main window is viewable; None on failure.
    Window StartMainWindow(CChildProcess** ppProcess = nullptr, const std::vector<std::string>& args = {},
                           const LaunchOptions& options = {}, const std::string& strTitle = szMainTitle);
    // Waits until cond holds, also woken by the end of any started process.
    bool bWaitFor(const std::function<bool()>& cond, int nSeconds = 10);

    // Waits until the file exists (or not), woken by inotify on its folder,
    // which must exist.
    bool bWaitForFile(const std::filesystem::path& path, bool bExists, int nSeconds = 10);
    // Waits until cond holds, checked again whenever a file in the folder
    // (which must exist) is made, written, moved or removed.
    bool bWaitOnFolder(const std::filesystem::path& folder, const std::function<bool()>& cond, int nSeconds = 10);

    std::vector<std::string> ProgramEnvironment(const LaunchOptions& options) const;
    // HOME, XDG folders and no session bus, for the desktop's helpers.
    std::vector<std::string> HelperEnvironment() const;

    CTestDirectory dir;
    CXvfbServer xvfb;
    CTestDisplay x;
    CChildProcess compositor;
    CChildProcess tray;
    CChildProcess windowManager;
    std::deque<std::unique_ptr<CChildProcess>> programs;
};
