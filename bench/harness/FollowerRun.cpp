// The measurements of one follower run, in the order they are taken.
#include "harness/FollowerRun.h"

#include "harness/Clock.h"
#include "harness/LumicueHome.h"
#include "harness/ProcStats.h"
#include "harness/XWait.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr long long kMs = 1000000LL;
constexpr int kWarmupMotions = 20;
constexpr int kStartDeadlineMs = 10000;
constexpr int kSettleMs = 1000;

std::string WindowTitle(Display* dpy, Window w)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string title;
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    if (XGetWindowProperty(dpy, w, netName, 0, 256, False, AnyPropertyType, &type, &format, &count, &after, &data) == Success
        && data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    char* name = nullptr;
    if (title.empty() && XFetchName(dpy, w, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

// An overlay as a follower makes it: override-redirect, ARGB, on the root.
bool bIsFollowerWindow(Display* dpy, const XEvent& ev, int width = 0, int height = 0)
{
    if (ev.type != MapNotify || !ev.xmap.override_redirect)
        return false;
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, ev.xmap.window, &attrs) || attrs.depth != 32 || attrs.root != ev.xmap.event)
        return false;
    return width == 0 || (attrs.width == width && attrs.height == height);
}

double Ms(long long ns)
{
    return ns / 1e6;
}

} // namespace

bool CFollowerRun::bFail(const std::string& why)
{
    fig.strError = why;
    return false;
}

CFollowerRun::SPoint CFollowerRun::NextPosition()
{
    // Steps coprime to both ranges: consecutive points always differ and no
    // point repeats within 4000 motions, so a late move never matches a new one.
    const int k = nPosition++;
    return {100 + (k * 37) % 1000, 100 + (k * 53) % 800};
}

void CFollowerRun::vSendMotion(SPoint p)
{
    expected = {p.x - nHalfWidth, p.y - nHalfHeight};
    XTestFakeMotionEvent(x.Dpy(), DefaultScreen(x.Dpy()), p.x, p.y, CurrentTime);
}

bool CFollowerRun::bIsExpectedMove(const XEvent& ev) const
{
    return ev.type == ConfigureNotify && ev.xconfigure.window == win && ev.xconfigure.x == expected.x
           && ev.xconfigure.y == expected.y;
}

SRunFigures CFollowerRun::Run(EFollowerKind kind, const std::string& program)
{
    char tmpl[] = "/tmp/lumicue-bench-XXXXXX";
    if (!mkdtemp(tmpl)) {
        fig.strError = "no temporary folder";
        return fig;
    }
    fig.strWorkDir = tmpl;
    if (x.bStart(fig.strWorkDir, opt.bPin ? 0 : -1) && bStartFollower(kind, program, fig.strWorkDir) && bPrepareWindow()) {
        vMeasureLatency();
        vMeasurePacedCpu();
        vMeasureIdle();
        const SMemorySample mem = CProcStats::Memory(follower.Pid());
        fig.fRssMb = mem.nRssKb / 1024.0;
        fig.fPrivateMb = mem.nPrivateKb / 1024.0;
        fig.bOk = follower.bRunning() || bFail("the follower ended during the run");
    } else if (fig.strError.empty()) {
        fig.strError = "the X server or compositor did not start";
    }
    follower.vStop();
    x.vStop();
    if (!opt.bKeepFiles && fig.bOk) {
        std::error_code ec;
        std::filesystem::remove_all(fig.strWorkDir, ec);
    }
    return fig;
}

bool CFollowerRun::bStartFollower(EFollowerKind kind, const std::string& program, const std::string& workDir)
{
    Display* dpy = x.Dpy();
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    const std::string log = workDir + "/follower.log";
    if (kind == EFollowerKind::Plain) {
        if (!follower.bStart({program}, {"DISPLAY=" + x.DisplayName()}, log))
            return bFail("cannot start " + program);
        if (opt.bPin)
            follower.bPinTo(1);
        return bFindPlainWindow();
    }
    CLumicueHome home;
    if (!home.bPrepare(workDir, program))
        return bFail("cannot prepare the install folder and home for " + program);
    std::vector<std::string> env = home.Environment();
    env.push_back("DISPLAY=" + x.DisplayName());
    // Started with /m: the main window is shown and hidden again, as when a
    // presenter's session starts it. Left on screen it would sit in the
    // motion path answering hover events, which a window manager avoids by
    // iconifying it when F8 minimises it; this bare X server has none.
    if (!follower.bStart({home.Program(), "/m"}, env, log))
        return bFail("cannot start " + home.Program());
    if (opt.bPin)
        follower.bPinTo(1);
    const bool shown = CXWait::bUntil(dpy, follower.StartNs() + kStartDeadlineMs * kMs, [&](const XEvent& ev) {
        return ev.type == MapNotify && !ev.xmap.override_redirect && ev.xmap.event == DefaultRootWindow(dpy)
               && WindowTitle(dpy, ev.xmap.window) == "Lumicue";
    });
    if (!shown)
        return bFail("no top-level window titled \"Lumicue\" was mapped");
    fig.fStartToWindowMs = Ms(NowNs() - follower.StartNs());
    return bShowLumicueOverlay();
}

bool CFollowerRun::bFindPlainWindow()
{
    Display* dpy = x.Dpy();
    const bool found = CXWait::bUntil(dpy, NowNs() + kStartDeadlineMs * kMs, [&](const XEvent& ev) {
        if (!bIsFollowerWindow(dpy, ev))
            return false;
        win = ev.xmap.window;
        return true;
    });
    return found || bFail("the follower mapped no override-redirect ARGB window");
}

bool CFollowerRun::bShowLumicueOverlay()
{
    Display* dpy = x.Dpy();
    const KeyCode f8 = XKeysymToKeycode(dpy, XK_F8);
    XTestFakeKeyEvent(dpy, f8, True, CurrentTime);
    const long long pressed = NowNs();
    XFlush(dpy);
    XTestFakeKeyEvent(dpy, f8, False, CurrentTime);
    XFlush(dpy);
    const int size = CLumicueHome::kPictureSize;
    const bool shown = CXWait::bUntil(dpy, pressed + kStartDeadlineMs * kMs, [&](const XEvent& ev) {
        if (!bIsFollowerWindow(dpy, ev, size, size))
            return false;
        win = ev.xmap.window;
        return true;
    });
    if (!shown)
        return bFail("F8 mapped no 128 x 128 override-redirect ARGB window");
    fig.fF8ToPictureMs = Ms(NowNs() - pressed);
    return true;
}

bool CFollowerRun::bPrepareWindow()
{
    Display* dpy = x.Dpy();
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, win, &attrs))
        return bFail("the follower's window went away");
    nHalfWidth = attrs.width / 2;
    nHalfHeight = attrs.height / 2;
    // From here on only the follower's own window matters.
    XSelectInput(dpy, DefaultRootWindow(dpy), NoEventMask);
    XSelectInput(dpy, win, StructureNotifyMask);
    XSync(dpy, False);
    CXWait::bDrain(dpy, [](const XEvent&) { return false; });

    int followed = 0;
    for (int i = 0; i < kWarmupMotions; ++i) {
        long long ns;
        followed += bMotionFollowed(ns);
    }
    return followed > 0 || bFail("the follower's window did not follow any motion");
}

bool CFollowerRun::bMotionFollowed(long long& latencyNs)
{
    Display* dpy = x.Dpy();
    vSendMotion(NextPosition());
    // Taken before the flush: after it, the scheduler may run the server and
    // the follower first and the sample would read near zero.
    const long long sent = NowNs();
    XFlush(dpy);
    long long arrived = 0;
    const bool ok = CXWait::bUntil(dpy, sent + opt.nDeadlineMs * kMs, [&](const XEvent& ev) {
        if (!bIsExpectedMove(ev))
            return false;
        arrived = NowNs();
        return true;
    });
    latencyNs = arrived - sent;
    return ok;
}

void CFollowerRun::vMeasureLatency()
{
    fig.latenciesUs.reserve(opt.nMotions);
    for (int i = 0; i < opt.nMotions; ++i) {
        long long ns;
        if (bMotionFollowed(ns))
            fig.latenciesUs.push_back(ns / 1e3);
        else
            ++fig.nUnfollowed;
    }
}

void CFollowerRun::vMeasurePacedCpu()
{
    Display* dpy = x.Dpy();
    const auto ignore = [](const XEvent&) { return false; };
    const SCpuSample f0 = CProcStats::Cpu(follower.Pid());
    const SCpuSample s0 = CProcStats::Cpu(x.ServerPid());
    const SCpuSample c0 = CProcStats::Cpu(x.CompositorPid());
    const long long period = 1000000000LL / opt.nPacedHz;
    const long long start = NowNs() + kMs;
    for (int i = 0; i < opt.nPacedMotions; ++i) {
        vSleepUntilNs(start + i * period);
        vSendMotion(NextPosition());
        XFlush(dpy);
        CXWait::bDrain(dpy, ignore);
    }
    // The cost of the last motions counts too: wait until it was followed.
    CXWait::bUntil(dpy, NowNs() + opt.nDeadlineMs * kMs, [&](const XEvent& ev) { return bIsExpectedMove(ev); });
    const SCpuSample f1 = CProcStats::Cpu(follower.Pid());
    const SCpuSample s1 = CProcStats::Cpu(x.ServerPid());
    const SCpuSample c1 = CProcStats::Cpu(x.CompositorPid());
    const double per1000 = 1000.0 / opt.nPacedMotions;
    fig.fFollowerCpuPer1000Ms = Ms(f1.nCpuNs - f0.nCpuNs) * per1000;
    fig.fFollowerTickCpuPer1000Ms = Ms(f1.nTickCpuNs - f0.nTickCpuNs) * per1000;
    fig.fServerCpuPer1000Ms = Ms(s1.nCpuNs - s0.nCpuNs) * per1000;
    fig.fCompositorCpuPer1000Ms = Ms(c1.nCpuNs - c0.nCpuNs) * per1000;
}

void CFollowerRun::vMeasureIdle()
{
    // Pacing of the benchmark itself: let the last motions settle.
    vSleepUntilNs(NowNs() + kSettleMs * kMs);
    const SCpuSample f0 = CProcStats::Cpu(follower.Pid());
    const SCpuSample s0 = CProcStats::Cpu(x.ServerPid());
    const SCpuSample c0 = CProcStats::Cpu(x.CompositorPid());
    vSleepUntilNs(NowNs() + opt.nIdleSeconds * 1000 * kMs);
    const SCpuSample f1 = CProcStats::Cpu(follower.Pid());
    const SCpuSample s1 = CProcStats::Cpu(x.ServerPid());
    const SCpuSample c1 = CProcStats::Cpu(x.CompositorPid());
    fig.fIdleCpuMs = Ms(f1.nCpuNs - f0.nCpuNs);
    fig.fIdleWakeups = static_cast<double>(f1.nSwitches - f0.nSwitches);
    fig.fIdleServerCompositorCpuMs = Ms(s1.nCpuNs - s0.nCpuNs + c1.nCpuNs - c0.nCpuNs);
}
