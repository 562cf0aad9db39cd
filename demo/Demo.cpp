// The demo: Lumicue on a private X server with a compositing manager and a
// tray host, the pointer switched on and moved, screenshots left behind.
// Usage: lumicue_demo OUTPUT_FOLDER
#include "ChildProcess.h"
#include "OptionRecord.h"
#include "TestDirectory.h"
#include "TestDisplay.h"
#include "TestPicture.h"
#include "XvfbServer.h"

#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kDesktopColour = 0x2F5F8F;

bool bFail(const std::string& why)
{
    std::cerr << "demo: " << why << "\n";
    return false;
}

// The first shipped picture whose name holds "circle", else the first one.
fs::path ChosenPicture(const fs::path& folder)
{
    fs::path first;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path p = entry.path();
        if (p.extension() != ".png")
            continue;
        if (p.filename().string().find("circle") != std::string::npos)
            return p;
        if (first.empty() || p < first)
            first = p;
    }
    return first;
}

bool bScreenshot(CTestDisplay& x, const fs::path& path)
{
    // Repaints of the compositing manager have settled once it is quiet a while.
    x.vSettle(CDeadline::Millis(800));
    const TestRect rc{0, 0, CXvfbServer::nWidth, CXvfbServer::nHeight};
    const std::vector<uint32_t> pixels = x.Pixels(rc);
    CTestPicture picture(rc.width, rc.height);
    for (int y = 0; y < rc.height; ++y)
        for (int i = 0; i < rc.width; ++i)
            picture.vSet(i, y, 0xFF000000u | pixels[static_cast<size_t>(y) * rc.width + i]);
    return picture.bWritePng(path.string()) || bFail("cannot write " + path.string());
}

bool bRun(const fs::path& out)
{
    CTestDirectory dir;
    CXvfbServer xvfb;
    CTestDisplay x;
    CChildProcess compositor, tray, program, stopper;
    if (!dir.bCreate(true))
        return bFail("cannot lay out the install folder");
    if (!xvfb.bStart((out / "Xvfb.log").string(), CDeadline::Seconds(15)) || !x.bOpen(xvfb.strDisplay()))
        return bFail("Xvfb did not start");
    const std::vector<std::string> env = {
        "HOME=" + dir.Home().string(), "XDG_CONFIG_HOME=" + dir.ConfigHome().string(),
        "XDG_RUNTIME_DIR=" + dir.RuntimeDir().string(), "LANG=C.UTF-8", "QT_QPA_PLATFORM=xcb",
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir.RuntimeDir() / "no-bus").string()};
    x.CreateTestWindow({0, 0, CXvfbServer::nWidth, CXvfbServer::nHeight}, kDesktopColour, "desktop");
    if (!xvfb.bStartOwner(compositor, CXvfbServer::CompositorArgs(), env, "_NET_WM_CM_S0",
                          (out / "xcompmgr.log").string(), CDeadline::Seconds(10))
        || !xvfb.bStartOwner(tray, CXvfbServer::TrayArgs("top"), env, "_NET_SYSTEM_TRAY_S0",
                             (out / "trayer.log").string(), CDeadline::Seconds(10)))
        return bFail("xcompmgr or trayer did not start");

    COptionRecord option;
    option.strPointerFile = ChosenPicture(dir.PointerDir()).string();
    fs::create_directories(dir.DataDir());
    if (!option.bWrite(dir.OptionFile().string()))
        return bFail("cannot write the option file");

    std::vector<std::string> programEnv = env;
    programEnv.push_back("DISPLAY=" + xvfb.strDisplay());
    programEnv.push_back(std::string("PATH=") + (getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin"));
    if (!program.bStart({{dir.ProgramPath().string()}, programEnv, (out / "lumicue.log").string()}))
        return bFail("cannot start Lumicue");
    if (x.WaitForWindow("Lumicue", program.Pid(), true, CDeadline::Seconds(30)) == None)
        return bFail("the main window did not show (see lumicue.log)");
    x.bWatchScreen();
    x.vMove(900, 500);
    if (!bScreenshot(x, out / "main-window.png"))
        return false;

    // F8 switches the pointer on; the picture follows the mouse.
    x.bKey(XK_F8);
    Window overlay = None;
    if (!x.bWaitUntil([&] { return (overlay = x.FindOverlay()) != None; }, CDeadline::Seconds(10)))
        return bFail("F8 showed no pointer");
    for (auto [cx, cy] : std::initializer_list<std::pair<int, int>>{{400, 300}, {700, 420}, {760, 470}})
        x.vMove(cx, cy);
    if (!bScreenshot(x, out / "pointer-on.png"))
        return false;
    x.bKey(XK_F8);
    stopper.bStart({{dir.ProgramPath().string(), "/u"}, programEnv, (out / "lumicue-u.log").string()});
    program.bWaitExit(CDeadline::Seconds(10));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: lumicue_demo OUTPUT_FOLDER\n";
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::remove_all(out, ec);
    fs::create_directories(out, ec);
    if (!bRun(out))
        return 1;
    std::cout << "Screenshots are in " << out.string() << ": main-window.png, pointer-on.png (log: lumicue.log)\n";
    return 0;
}
