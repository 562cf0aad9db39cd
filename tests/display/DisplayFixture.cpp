// Set-up and teardown of the display tests' private desktop.
#include "DisplayFixture.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

namespace {

std::string Env(const char* name, const char* fallback = nullptr)
{
    const char* v = getenv(name);
    return v ? v : (fallback ? fallback : "");
}

void PrintLog(const std::string& strWhat, const CChildProcess& process)
{
    if (process.strLogPath().empty())
        return;
    std::string text = process.strLogText();
    if (text.empty())
        return;
    std::cerr << "----- " << strWhat << " (pid " << process.Pid() << ", exit " << process.nExitCode()
              << ") -----\n" << text << (text.back() == '\n' ? "" : "\n") << "----- end -----\n";
}

} // namespace

void CDisplayFixture::SetUp()
{
    const DisplaySetup setup = Setup();
    ASSERT_TRUE(dir.bCreate(setup.bShippedPointers)) << "cannot lay out the test folder and install the program";
    CXvfbServer::Screen screen;
    screen.nDepth = setup.nDepth;
    screen.nWidth = setup.nScreenWidth;
    screen.nHeight = setup.nScreenHeight;
    if (!setup.bComposite)
        screen.extraArgs = {"-extension", "Composite"};
    ASSERT_TRUE(xvfb.bStart((dir.LogDir() / "Xvfb.log").string(), CDeadline::Seconds(15), screen))
        << "Xvfb did not start";
    ASSERT_TRUE(x.bOpen(xvfb.strDisplay())) << "no test connection to " << xvfb.strDisplay();
    if (setup.bCompositor) {
        ASSERT_TRUE(bStartCompositor()) << "xcompmgr did not take the compositing selection";
    }
    if (setup.bTray) {
        ASSERT_TRUE(bStartTray()) << "trayer did not take the tray selection";
    }
    if (setup.bWindowManager) {
        ASSERT_TRUE(bStartWindowManager()) << "openbox did not take the window manager selection";
    }
}

void CDisplayFixture::TearDown()
{
    if (HasFailure()) {
        int n = 0;
        for (const auto& p : programs)
            PrintLog("program run " + std::to_string(++n), *p);
        PrintLog("xcompmgr", compositor);
        PrintLog("trayer", tray);
        PrintLog("openbox", windowManager);
    }
    for (auto& p : programs)
        p->vStop();
    windowManager.vStop();
    tray.vStop();
    compositor.vStop();
    x.vClose();
    xvfb.vStop();
    if (HasFailure())
        PrintLog("Xvfb", xvfb.Process());
    dir.vRemove();
}

bool CDisplayFixture::bStartCompositor()
{
    // Later changes of the selection (a test stopping it) wake the waits.
    x.vWatchSelection("_NET_WM_CM_S0");
    return xvfb.bStartOwner(compositor, CXvfbServer::CompositorArgs(), {}, "_NET_WM_CM_S0",
                            (dir.LogDir() / "xcompmgr.log").string(), CDeadline::Seconds(10));
}

void CDisplayFixture::vStopCompositor()
{
    const std::string selection = "_NET_WM_CM_S0";
    x.vWatchSelection(selection);
    compositor.vStop();
    x.bWaitUntil([&] { return !x.bHasSelectionOwner(selection); }, CDeadline::Seconds(10));
}

bool CDisplayFixture::bStartTray()
{
    x.vWatchSelection("_NET_SYSTEM_TRAY_S0");
    return xvfb.bStartOwner(tray, CXvfbServer::TrayArgs(), HelperEnvironment(), "_NET_SYSTEM_TRAY_S0",
                            (dir.LogDir() / "trayer.log").string(), CDeadline::Seconds(10));
}

bool CDisplayFixture::bStartWindowManager()
{
    return xvfb.bStartOwner(windowManager, CXvfbServer::WindowManagerArgs(), HelperEnvironment(), "WM_S0",
                            (dir.LogDir() / "openbox.log").string(), CDeadline::Seconds(10));
}

std::vector<std::string> CDisplayFixture::HelperEnvironment() const
{
    return {"HOME=" + dir.Home().string(), "XDG_CONFIG_HOME=" + dir.ConfigHome().string(),
            "XDG_RUNTIME_DIR=" + dir.RuntimeDir().string(),
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir.RuntimeDir() / "no-bus").string()};
}

std::vector<std::string> CDisplayFixture::ProgramEnvironment(const LaunchOptions& options) const
{
    std::vector<std::string> env = {
        "DISPLAY=" + xvfb.strDisplay(),
        "HOME=" + dir.Home().string(),
        "XDG_CONFIG_HOME=" + dir.ConfigHome().string(),
        "XDG_RUNTIME_DIR=" + dir.RuntimeDir().string(),
        "XDG_CACHE_HOME=" + (dir.Home() / ".cache").string(),
        "XDG_DATA_HOME=" + (dir.Home() / ".local" / "share").string(),
        "LANG=" + options.strLang,
        "PATH=" + Env("PATH", "/usr/bin:/bin"),
        "QT_QPA_PLATFORM=xcb",
        // No session bus: an unset address would make libdbus launch one
        // that outlives the test.
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir.RuntimeDir() / "no-bus").string(),
    };
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (getenv(name))
            env.push_back(std::string(name) + "=" + getenv(name));
    // An extra NAME=value replaces the fixture's own NAME.
    for (const std::string& extra : options.extraEnv) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(env, [&](const std::string& e) { return e.compare(0, name.size(), name) == 0; });
        env.push_back(extra);
    }
    return env;
}

CChildProcess& CDisplayFixture::Launch(const std::vector<std::string>& args, const LaunchOptions& options)
{
    CChildProcess::Options start;
    start.argv = {dir.ProgramPath().string()};
    if (!options.strUlimit.empty())  // the shell sets the limits and becomes the program
        start.argv.insert(start.argv.begin(), {"sh", "-c", "ulimit " + options.strUlimit + " && exec \"$0\" \"$@\""});
    start.argv.insert(start.argv.end(), args.begin(), args.end());
    start.env = ProgramEnvironment(options);
    start.strLogPath = (dir.LogDir() / ("lumicue-" + std::to_string(programs.size() + 1) + ".log")).string();
    programs.push_back(std::make_unique<CChildProcess>());
    EXPECT_TRUE(programs.back()->bStart(start)) << "cannot start " << start.argv[0];
    return *programs.back();
}

int CDisplayFixture::nWaitExit(CChildProcess& process, int nSeconds)
{
    if (!process.bWaitExit(CDeadline::Seconds(nSeconds)))
        return -1;
    return process.nExitCode();
}

int CDisplayFixture::nRunToEnd(const std::vector<std::string>& args, const LaunchOptions& options)
{
    return nWaitExit(Launch(args, options));
}

bool CDisplayFixture::bWaitFor(const std::function<bool()>& cond, int nSeconds)
{
    std::vector<int> fds;
    for (auto& p : programs)
        if (!p->bExited())
            fds.push_back(p->PidFd());
    return x.bWaitUntil(cond, CDeadline::Seconds(nSeconds), fds);
}

Window CDisplayFixture::StartMainWindow(CChildProcess** ppProcess, const std::vector<std::string>& args,
                                        const LaunchOptions& options, const std::string& strTitle)
{
    CChildProcess& process = Launch(args, options);
    if (ppProcess)
        *ppProcess = &process;
    Window w = None;
    bWaitFor([&] {
        w = x.FindWindowByTitle(strTitle, process.Pid());
        return (w != None && x.bIsViewable(w)) || process.bExited();
    });
    return (w != None && x.bIsViewable(w)) ? w : None;
}

bool CDisplayFixture::bWaitForFile(const std::filesystem::path& path, bool bExists, int nSeconds)
{
    return bWaitOnFolder(path.parent_path(), [&] { return std::filesystem::exists(path) == bExists; }, nSeconds);
}

bool CDisplayFixture::bWaitOnFolder(const std::filesystem::path& folder, const std::function<bool()>& cond,
                                    int nSeconds)
{
    int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return false;
    inotify_add_watch(fd, folder.c_str(),
                      IN_CREATE | IN_MODIFY | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_CLOSE_WRITE);
    bool bDone = x.bWaitUntil(cond, CDeadline::Seconds(nSeconds), {fd});
    close(fd);
    return bDone;
}
