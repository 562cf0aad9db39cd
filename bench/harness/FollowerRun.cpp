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

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unordered_map>

namespace {

constexpr long long kMs = 1000000LL;
constexpr int kWarmupMotions = 20;
constexpr int kStartDeadlineMs = 10000;
constexpr int kSettleMs = 1000;
constexpr int kFighterSeconds = 3;
constexpr int kCatchUpDeadlineMs = 120000;

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
    // Steps coprime to both ranges, which are coprime to each other:
    // consecutive points always differ and no point repeats within 799,000
    // motions, so a late move never matches a new one.
    const int k = nPosition++;
    return {100 + (k * 37) % 1000, 100 + (k * 53) % 799};
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

bool CFollowerRun::bMakeWorkDir()
{
    char tmpl[] = "/tmp/lumicue-bench-XXXXXX";
    if (!mkdtemp(tmpl))
        return bFail("no temporary folder");
    fig.strWorkDir = tmpl;
    return true;
}

// Ends the follower and the X server; the files stay when the run failed.
SRunFigures CFollowerRun::Finish()
{
    follower.vStop();
    x.vStop();
    if (!opt.bKeepFiles && fig.bOk) {
        std::error_code ec;
        std::filesystem::remove_all(fig.strWorkDir, ec);
    }
    return fig;
}

SRunFigures CFollowerRun::Run(EFollowerKind kind, const std::string& program)
{
    if (!bMakeWorkDir())
        return fig;
    if (x.bStart(fig.strWorkDir, opt.bPin ? 0 : -1) && bStartFollower(kind, program, fig.strWorkDir) && bPrepareWindow()) {
        vMeasureLatency();
        for (int hz : opt.rates)
            fig.rates.push_back(MeasureRate(hz));
        vMeasureIdle();
        const SMemorySample mem = CProcStats::Memory(follower.Pid());
        fig.fRssMb = mem.nRssKb / 1024.0;
        fig.fPrivateMb = mem.nPrivateKb / 1024.0;
        if (kind == EFollowerKind::Lumicue)
            vMeasureStacking();
        if (opt.nFloodSeconds > 0)
            vMeasureFlood();
        fig.bOk = follower.bRunning() || bFail("the follower ended during the run");
    } else if (fig.strError.empty()) {
        fig.strError = "the X server or compositor did not start";
    }
    return Finish();
}

bool CFollowerRun::bStartFollower(EFollowerKind kind, const std::string& program, const std::string& workDir)
{
    Display* dpy = x.Dpy();
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    const std::string log = workDir + "/follower.log";
    if (kind == EFollowerKind::Plain) {
        // A plain follower draws a square of the side Lumicue shows, so both move as much.
        if (!follower.bStart({program, std::to_string(nShownSize())}, {"DISPLAY=" + x.DisplayName()}, log))
            return bFail("cannot start " + program);
        if (opt.bPin)
            follower.bPinTo(1);
        return bFindPlainWindow();
    }
    CLumicueHome home;
    if (!home.bPrepare(workDir, program, opt.nPictureSize, opt.nPointerSize))
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

// Presses F8 and waits for the overlay's MapNotify (or UnmapNotify); the
// time from just before the press is flushed.
bool CFollowerRun::bPressF8(int eventType, long long& elapsedNs)
{
    Display* dpy = x.Dpy();
    const KeyCode f8 = XKeysymToKeycode(dpy, XK_F8);
    XTestFakeKeyEvent(dpy, f8, True, CurrentTime);
    const long long pressed = NowNs();
    XFlush(dpy);
    XTestFakeKeyEvent(dpy, f8, False, CurrentTime);
    XFlush(dpy);
    const int size = nShownSize();
    const bool seen = CXWait::bUntil(dpy, pressed + kStartDeadlineMs * kMs, [&](const XEvent& ev) {
        if (eventType == UnmapNotify)
            return ev.type == UnmapNotify && ev.xunmap.window == win;
        if (!bIsFollowerWindow(dpy, ev, size, size))
            return false;
        win = ev.xmap.window;
        return true;
    });
    elapsedNs = NowNs() - pressed;
    return seen;
}

bool CFollowerRun::bShowLumicueOverlay()
{
    long long ns = 0;
    if (!bPressF8(MapNotify, ns))
        return bFail("F8 mapped no " + std::to_string(nShownSize()) + " px override-redirect ARGB window");
    fig.fF8ToPictureMs = Ms(ns);
    return true;
}

SRunFigures CFollowerRun::RunPictureShow(const std::string& program)
{
    if (!bMakeWorkDir())
        return fig;
    long long ns = 0;
    if (x.bStart(fig.strWorkDir, opt.bPin ? 0 : -1) && bStartFollower(EFollowerKind::Lumicue, program, fig.strWorkDir)) {
        // The root's structure events find the overlay going and coming.
        if (!bPressF8(UnmapNotify, ns))
            bFail("F8 did not hide the picture");
        else if (!bPressF8(MapNotify, ns))
            bFail("F8 did not show the picture again");
        else
            fig.fF8AgainMs = Ms(ns);
        fig.bOk = fig.strError.empty() && (follower.bRunning() || bFail("the follower ended during the run"));
    } else if (fig.strError.empty()) {
        fig.strError = "the X server or compositor did not start";
    }
    return Finish();
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

SRateFigures CFollowerRun::MeasureRate(int hz)
{
    Display* dpy = x.Dpy();
    SRateFigures r;
    r.nHz = hz;
    const int n = std::max(2000, hz);
    std::vector<long long> sent(n);
    std::unordered_map<long long, int> indexAt; // expected window position -> motion
    auto key = [](int px, int py) { return (static_cast<long long>(px) << 32) ^ static_cast<unsigned>(py); };
    int followed = 0; // motions [0, followed) are followed
    const auto onEvent = [&](const XEvent& ev) {
        if (ev.type != ConfigureNotify || ev.xconfigure.window != win)
            return false;
        const auto it = indexAt.find(key(ev.xconfigure.x, ev.xconfigure.y));
        if (it == indexAt.end() || it->second < followed)
            return false;
        const long long now = NowNs();
        for (; followed <= it->second; ++followed)
            r.latenciesUs.push_back((now - sent[followed]) / 1e3);
        return followed == n;
    };
    const SCpuSample f0 = CProcStats::Cpu(follower.Pid());
    const SCpuSample s0 = CProcStats::Cpu(x.ServerPid());
    const SCpuSample c0 = CProcStats::Cpu(x.CompositorPid());
    const long long period = 1000000000LL / hz;
    const long long start = NowNs() + kMs;
    for (int i = 0; i < n; ++i) {
        // Reads the follower's moves while waiting for the next send time,
        // so each is timed when it arrives.
        CXWait::bUntil(dpy, start + i * period, onEvent);
        vSendMotion(NextPosition());
        indexAt[key(expected.x, expected.y)] = i;
        sent[i] = NowNs();
        XFlush(dpy);
    }
    // The cost of the last motions counts too: wait until they are followed.
    CXWait::bUntil(dpy, NowNs() + opt.nDeadlineMs * kMs, [&](const XEvent& ev) { return onEvent(ev) || followed == n; });
    const SCpuSample f1 = CProcStats::Cpu(follower.Pid());
    const SCpuSample s1 = CProcStats::Cpu(x.ServerPid());
    const SCpuSample c1 = CProcStats::Cpu(x.CompositorPid());
    const double per1000 = 1000.0 / n;
    r.nUnfollowed = n - followed;
    r.fFollowerCpuPer1000Ms = Ms(f1.nCpuNs - f0.nCpuNs) * per1000;
    r.fServerCpuPer1000Ms = Ms(s1.nCpuNs - s0.nCpuNs) * per1000;
    r.fCompositorCpuPer1000Ms = Ms(c1.nCpuNs - c0.nCpuNs) * per1000;
    return r;
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

void CFollowerRun::vMeasureStacking()
{
    Display* dpy = x.Dpy();
    XWindowAttributes attrs;
    if (!XGetWindowAttributes(dpy, win, &attrs))
        return;
    // A plain window mapped over the overlay; the overlay does not move now,
    // so its next ConfigureNotify is its raise.
    XSetWindowAttributes a{};
    a.background_pixel = 0x00FF00;
    Window cover = XCreateWindow(dpy, DefaultRootWindow(dpy), attrs.x - 10, attrs.y - 10, attrs.width + 20,
                                 attrs.height + 20, 0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixel, &a);
    XSync(dpy, False);
    XMapWindow(dpy, cover);
    const long long mapped = NowNs();
    XFlush(dpy);
    const auto isRaise = [&](const XEvent& ev) { return ev.type == ConfigureNotify && ev.xconfigure.window == win; };
    if (CXWait::bUntil(dpy, mapped + kStartDeadlineMs * kMs, isRaise))
        fig.fReraiseMs = Ms(NowNs() - mapped);

    // The cover now raises itself whenever the overlay goes above it.
    int raises = 0;
    XRaiseWindow(dpy, cover);
    XFlush(dpy);
    CXWait::bUntil(dpy, NowNs() + kFighterSeconds * 1000 * kMs, [&](const XEvent& ev) {
        if (isRaise(ev)) {
            ++raises;
            XRaiseWindow(dpy, cover);
            XFlush(dpy);
        }
        return false;
    });
    fig.fFighterRaises = raises;
    XDestroyWindow(dpy, cover);
    XSync(dpy, False);
}

void CFollowerRun::vMeasureFlood()
{
    Display* dpy = x.Dpy();
    const auto ignore = [](const XEvent&) { return false; };
    const long long rss0 = CProcStats::Memory(follower.Pid()).nRssKb;
    const long long end = NowNs() + opt.nFloodSeconds * 1000LL * kMs;
    while (NowNs() < end) {
        for (int i = 0; i < 200; ++i)
            vSendMotion(NextPosition());
        XFlush(dpy);
        CXWait::bDrain(dpy, ignore);
    }
    // A place off the walk, so no earlier motion can pass for the last one.
    vSendMotion({50, 50});
    const long long last = NowNs();
    XFlush(dpy);
    const long long rssEnd = CProcStats::Memory(follower.Pid()).nRssKb;
    if (CXWait::bUntil(dpy, last + kCatchUpDeadlineMs * kMs, [&](const XEvent& ev) { return bIsExpectedMove(ev); }))
        fig.fFloodCatchUpMs = Ms(NowNs() - last);
    const long long rssAfter = CProcStats::Memory(follower.Pid()).nRssKb;
    fig.fFloodRssGrowthMb = (std::max(rssEnd, rssAfter) - rss0) / 1024.0;
}
