// How long the window's thread leaves a ping unanswered while heavy pictures
// are decoded: a visible start with 40 zero-filled 4096 x 4096 PNGs in a
// gallery of 2,000, then the gallery opened; and the resident memory after
// it. A ping (_NET_WM_PING) every 50 ms, answered by the toolkit on the
// window's thread. One Xvfb with xcompmgr per run, the real program.
#include "AnswerProbe.h"
#include "ChildProcess.h"
#include "TestPicture.h"
#include "harness/Clock.h"
#include "harness/LumicueHome.h"
#include "harness/ProcStats.h"
#include "harness/Stats.h"
#include "harness/XSession.h"
#include "harness/XWait.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr long long kMs = 1000000LL;
constexpr long long kDeadlineNs = 60000 * kMs;
constexpr long long kAfterNs = 2000 * kMs; // probed on after each step is seen
constexpr unsigned kFirstRing = 0xFF00FF;  // the first picture's ring: finds the preview

struct SRun {
    double startMs = 0;   // start to the main window mapped
    double startPingMs = 0;
    double galleryPingMs = 0;
    long long nRssKb = 0;
};

bool bFail(const char* what)
{
    std::fprintf(stderr, "heavy picture bench: %s\n", what);
    return false;
}

// The first picture, 40 heavy ones and small ones up to 2,000.
bool bWritePictures(const fs::path& pointers)
{
    fs::remove(pointers / "bench.png");
    if (!CLumicueHome::bWritePicture((pointers / "a-first.png").string(), 64, kFirstRing))
        return false;
    const fs::path heavy = pointers / "a00-heavy.png";
    const fs::path small = pointers / "b0000.png";
    if (!CTestPicture(4096, 4096, 0).bWritePng(heavy.string()) || !CTestPicture(40, 40, 0xFF2080C0).bWritePng(small.string()))
        return false;
    char name[32];
    for (int i = 1; i < 40; ++i) {
        std::snprintf(name, sizeof name, "a%02d-heavy.png", i);
        fs::copy_file(heavy, pointers / name);
    }
    for (int i = 1; i < 2000 - 41; ++i) {
        std::snprintf(name, sizeof name, "b%04d.png", i);
        fs::copy_file(small, pointers / name);
    }
    return true;
}

// The centre of the first picture's ring in the window, once painted.
bool bFindPreview(Display* dpy, Window main, int& cx, int& cy)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, main, &a))
        return false;
    XImage* img = XGetImage(dpy, main, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!img)
        return false;
    int left = a.width, right = -1, top = a.height, bottom = -1;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if ((XGetPixel(img, x, y) & 0xFFFFFF) == kFirstRing) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    XDestroyImage(img);
    cx = a.x + (left + right) / 2;
    cy = a.y + (top + bottom) / 2;
    return right - left > 20;
}

// Reads events until the deadline: the probe works meanwhile.
void vWaitOut(Display* dpy, long long ns)
{
    CXWait::bUntil(dpy, NowNs() + ns, [](const XEvent&) { return false; });
}

bool bRun(const std::string& strProgram, bool bKeep, SRun& run)
{
    char templ[] = "/tmp/lumicue-heavy-bench-XXXXXX";
    if (!mkdtemp(templ))
        return bFail("no temporary folder");
    const std::string root = templ;
    CXSession session;
    CLumicueHome home;
    if (!session.bStart(root))
        return bFail("Xvfb or xcompmgr did not start");
    if (!home.bPrepare(root, strProgram) || !bWritePictures(fs::path(root) / "app" / "pointer"))
        return bFail("cannot prepare the install folder");
    Display* dpy = session.Dpy();
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    std::vector<std::string> env = home.Environment();
    env.push_back("DISPLAY=" + session.DisplayName());
    CChildProcess program;
    const long long t0 = NowNs();
    if (!program.bStart({home.Program()}, env, root + "/lumicue.log"))
        return bFail("cannot start the program");
    Window main = 0;
    if (!CXWait::bUntil(dpy, t0 + kDeadlineNs, [&](const XEvent& ev) {
            if (ev.type != MapNotify || ev.xmap.override_redirect)
                return false;
            main = ev.xmap.window;
            return true;
        }))
        return bFail("no main window");
    run.startMs = static_cast<double>(NowNs() - t0) / kMs;

    CAnswerProbe probe;
    CAnswerProbe::Options options;
    options.strDisplay = session.DisplayName();
    options.nWindow = main;
    if (!probe.bStart(options))
        return bFail("the probe did not start");
    // Looked for again at every paint of the window.
    int cx = 0, cy = 0, nDamageEvent = 0, nError = 0;
    if (!XDamageQueryExtension(dpy, &nDamageEvent, &nError))
        return bFail("no DAMAGE extension");
    const Damage damage = XDamageCreate(dpy, main, XDamageReportNonEmpty);
    const bool bShown = bFindPreview(dpy, main, cx, cy) || CXWait::bUntil(dpy, NowNs() + kDeadlineNs, [&](const XEvent& ev) {
        if (ev.type != nDamageEvent + XDamageNotify)
            return false;
        XDamageSubtract(dpy, damage, None, None);
        return bFindPreview(dpy, main, cx, cy);
    });
    XDamageDestroy(dpy, damage);
    if (!bShown)
        return bFail("the preview does not show the first picture");
    vWaitOut(dpy, kAfterNs);
    run.startPingMs = static_cast<double>(probe.Take().nLongestPingNs) / kMs;

    XTestFakeMotionEvent(dpy, -1, cx, cy, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XFlush(dpy);
    if (!CXWait::bUntil(dpy, NowNs() + kDeadlineNs, [&](const XEvent& ev) {
            XWindowAttributes a;
            return ev.type == MapNotify && ev.xmap.override_redirect && XGetWindowAttributes(dpy, ev.xmap.window, &a)
                && a.width >= 400 && a.height >= 400;
        }))
        return bFail("the gallery did not open");
    vWaitOut(dpy, kAfterNs);
    probe.vStop();
    run.galleryPingMs = static_cast<double>(probe.Take().nLongestPingNs) / kMs;
    run.nRssKb = CProcStats::Memory(program.Pid()).nRssKb;
    program.vStop();
    session.vStop();
    if (!bKeep)
        fs::remove_all(root);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string strProgram;
    int nRuns = 3;
    bool bKeep = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--keep")
            bKeep = true;
        else if (i + 1 < argc && a == "--lumicue")
            strProgram = argv[++i];
        else if (i + 1 < argc && a == "--runs")
            nRuns = std::max(1, std::atoi(argv[++i]));
        else
            strProgram.clear(), i = argc;
    }
    if (strProgram.empty()) {
        std::fprintf(stderr, "usage: bench_HeavyPictureBench --lumicue PATH [--runs K] [--keep]\n");
        return 2;
    }
    std::vector<double> starts, startPings, galleryPings, rss;
    for (int i = 0; i < nRuns; ++i) {
        SRun run;
        if (!bRun(strProgram, bKeep, run))
            return 1;
        std::printf("run %d: start to window %.0f ms; longest unanswered ping: start %.1f ms, gallery %.1f ms; "
                    "resident %lld kB\n",
            i + 1, run.startMs, run.startPingMs, run.galleryPingMs, run.nRssKb);
        starts.push_back(run.startMs);
        startPings.push_back(run.startPingMs);
        galleryPings.push_back(run.galleryPingMs);
        rss.push_back(static_cast<double>(run.nRssKb) / 1024);
    }
    std::printf("40 pictures of 4096 x 4096 in a gallery of 2,000, %d runs, median / max\n", nRuns);
    std::printf("start to main window mapped                  %7.0f / %7.0f ms\n", Median(starts), Percentile(starts, 1));
    std::printf("longest unanswered ping, start               %7.1f / %7.1f ms\n", Median(startPings),
        Percentile(startPings, 1));
    std::printf("longest unanswered ping, gallery opening     %7.1f / %7.1f ms\n", Median(galleryPings),
        Percentile(galleryPings, 1));
    std::printf("resident memory after the gallery opened     %7.1f / %7.1f MB\n", Median(rss), Percentile(rss, 1));
    return 0;
}
