// Memory of the switch with a tray host: each switch shows a balloon beside
// an XEmbed tray. Prints the resident and private
// memory after a warm-up and after many more switches. One Xvfb with
// xcompmgr and trayer, the real program, F8 pressed through XTest.
#include "ChildProcess.h"
#include "XvfbServer.h"
#include "harness/Clock.h"
#include "harness/LumicueHome.h"
#include "harness/ProcStats.h"
#include "harness/XSession.h"
#include "harness/XWait.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>
#include <string>

namespace {

constexpr long long kDeadlineNs = 10000 * 1000000LL;

bool bIsOverlay(Display* dpy, Window w)
{
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    return XGetGeometry(dpy, w, &root, &x, &y, &width, &height, &border, &depth)
        && width == CLumicueHome::kPictureSize && height == CLumicueHome::kPictureSize;
}

// Each F8 maps or unmaps the overlay (the window of the picture's size) and
// shows a balloon; the overlay's change marks the switch as done.
bool bSwitch(Display* dpy, int n, bool& bOn)
{
    const KeyCode f8 = XKeysymToKeycode(dpy, XK_F8);
    for (int i = 0; i < n; ++i) {
        XTestFakeKeyEvent(dpy, f8, True, CurrentTime);
        XTestFakeKeyEvent(dpy, f8, False, CurrentTime);
        XFlush(dpy);
        const int nWant = bOn ? UnmapNotify : MapNotify;
        if (!CXWait::bUntil(dpy, NowNs() + kDeadlineNs, [&](const XEvent& ev) {
                return ev.type == nWant && bIsOverlay(dpy, ev.xany.type == MapNotify ? ev.xmap.window : ev.xunmap.window);
            }))
            return false;
        bOn = !bOn;
    }
    return true;
}

int nFail(const char* what)
{
    std::fprintf(stderr, "tray bench: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string strProgram = "build/lumicue";
    int nSwitches = 4000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--lumicue"))
            strProgram = argv[i + 1];
        else if (!std::strcmp(argv[i], "--switches"))
            nSwitches = std::atoi(argv[i + 1]);
    }
    char templ[] = "/tmp/lumicue-tray-bench-XXXXXX";
    if (!mkdtemp(templ))
        return nFail("no temporary folder");
    const std::string root = templ;
    CXSession session;
    CLumicueHome home;
    CChildProcess tray, program;
    if (!session.bStart(root) || !home.bPrepare(root, strProgram))
        return nFail("cannot start Xvfb or prepare the install folder");
    if (const char* problem = session.StartHiddenInTray(tray, program, home.Program(), home.Environment(), root))
        return nFail(problem);
    Display* dpy = session.Dpy();

    bool bOn = false;
    if (!bSwitch(dpy, 200, bOn))
        return nFail("F8 did not switch the pointer");
    const SMemorySample before = CProcStats::Memory(program.Pid());
    if (!bSwitch(dpy, nSwitches, bOn))
        return nFail("a switch did not happen");
    const SMemorySample after = CProcStats::Memory(program.Pid());
    std::printf("tray balloons: %d switches after 200: resident %lld -> %lld kB (%+lld kB), private %+lld kB\n",
        nSwitches, before.nRssKb, after.nRssKb, after.nRssKb - before.nRssKb, after.nPrivateKb - before.nPrivateKb);
    program.vStop(2000);
    tray.vStop();
    session.vStop();
    std::filesystem::remove_all(root);
    return 0;
}
