// What a click costs with click rings on: the time from a button press to
// its ring's window on the screen, and Lumicue's CPU per click (the whole
// ring, every frame of its growth and fading) and at rest. One Xvfb with
// xcompmgr and trayer, the real program started hidden, presses through
// XTest, one at a time, each after the last ring went.
#include "ChildProcess.h"
#include "XvfbServer.h"
#include "harness/Clock.h"
#include "harness/LumicueHome.h"
#include "harness/ProcStats.h"
#include "harness/Stats.h"
#include "harness/XSession.h"
#include "harness/XWait.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr long long kMs = 1000000LL;
constexpr long long kDeadlineNs = 10000 * kMs;

int nFail(const char* what)
{
    std::fprintf(stderr, "click bench: %s\n", what);
    return 1;
}

// One press and release of the button at (x, y): the delay until a window
// mapped (the ring) in ns, or 0; returns once that window went again.
long long nClick(Display* dpy, int x, int y, unsigned button)
{
    XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
    XSync(dpy, False);
    const long long t0 = NowNs();
    XTestFakeButtonEvent(dpy, button, True, CurrentTime);
    XTestFakeButtonEvent(dpy, button, False, CurrentTime);
    XFlush(dpy);
    Window ring = None;
    if (!CXWait::bUntil(dpy, t0 + kDeadlineNs, [&](const XEvent& ev) {
            if (ev.type == MapNotify)
                ring = ev.xmap.window;
            return ring != None;
        }))
        return 0;
    const long long t1 = NowNs();
    CXWait::bUntil(dpy, NowNs() + kDeadlineNs, [&](const XEvent& ev) {
        return (ev.type == UnmapNotify && ev.xunmap.window == ring)
            || (ev.type == DestroyNotify && ev.xdestroywindow.window == ring);
    });
    return t1 - t0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string strProgram = "build/lumicue";
    int nClicks = 100;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--lumicue"))
            strProgram = argv[i + 1];
        else if (!std::strcmp(argv[i], "--clicks"))
            nClicks = std::max(1, std::atoi(argv[i + 1]));
    }
    char templ[] = "/tmp/lumicue-click-bench-XXXXXX";
    if (!mkdtemp(templ))
        return nFail("no temporary folder");
    const std::string root = templ;
    CXSession session;
    CLumicueHome home;
    CChildProcess tray, program;
    if (!session.bStart(root) || !home.bPrepare(root, strProgram))
        return nFail("cannot start Xvfb or prepare the install folder");
    std::ofstream(root + "/config/Lumicue/Config.ini") << "[Options]\nShowClicks=1\n";
    if (const char* problem = session.StartHiddenInTray(tray, program, home.Program(), home.Environment(), root))
        return nFail(problem);
    Display* dpy = session.Dpy();

    // A few to warm up, then the measured ones, left and right in turn.
    for (int i = 0; i < 5; ++i)
        if (!nClick(dpy, 300 + i, 300, 1))
            return nFail("a press showed no ring");
    std::vector<double> delays;
    const SCpuSample c0 = CProcStats::Cpu(program.Pid());
    for (int i = 0; i < nClicks; ++i) {
        const long long ns = nClick(dpy, 200 + (i * 37) % 800, 200 + (i * 53) % 400, i % 2 ? 3 : 1);
        if (!ns)
            return nFail("a press showed no ring");
        delays.push_back(static_cast<double>(ns) / 1000.0);
    }
    const SCpuSample c1 = CProcStats::Cpu(program.Pid());
    vSleepUntilNs(NowNs() + 5000 * kMs);
    const SCpuSample c2 = CProcStats::Cpu(program.Pid());

    std::printf("click rings: %d presses, one at a time\n\n", nClicks);
    std::printf("| figure | result |\n|---|---|\n");
    std::printf("| press to ring window mapped: median / p90 | %.0f / %.0f us |\n", Median(delays),
        Percentile(delays, 0.9));
    std::printf("| Lumicue CPU per click (the whole ring) | %.2f ms |\n",
        static_cast<double>(c1.nCpuNs - c0.nCpuNs) / 1e6 / nClicks);
    std::printf("| Lumicue CPU over 5 s at rest, rings on | %.2f ms, %lld wake-ups |\n",
        static_cast<double>(c2.nCpuNs - c1.nCpuNs) / 1e6, c2.nSwitches - c1.nSwitches);
    program.vStop(2000);
    tray.vStop();
    session.vStop();
    std::filesystem::remove_all(root);
    return 0;
}
