// Measures the gallery pop-up with 48 pictures of 256 x 256 pixels: from the
// click on the preview to the pop-up painted, from an arrow key to the new
// selection painted, and the resident memory that opening and closing it
// many times leaves behind. One Xvfb with xcompmgr, the real program.
#include "ChildProcess.h"
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
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr long long kMs = 1000000LL;
constexpr long long kDeadlineNs = 10000 * kMs;
constexpr int kPictures = 48;
constexpr unsigned kFirstRing = 0xFF00FF; // the first picture's ring: finds the preview
// 7 x 7 cells of 48 pixels, margin 8, grip band 10.
constexpr int kGalleryWidth = 7 * 48 + 16;
constexpr int kGalleryHeight = 7 * 48 + 26;

struct SOptions {
    std::string strProgram;
    int nOpens = 30;
    int nMoves = 60;
    int nCycles = 500;
    bool bKeep = false;
};

struct SCell {
    int x, y;
};
SCell CellOrigin(int i)
{
    return {8 + (i % 7) * 48, 18 + (i / 7) * 48};
}

class CGalleryBench {
public:
    explicit CGalleryBench(const SOptions& o) : opt(o) {}
    int Run();

private:
    bool bFail(const char* what)
    {
        std::fprintf(stderr, "gallery bench: %s\n", what);
        return false;
    }
    bool bStart();
    bool bFindPreview();
    bool bOpen(long long* pNs);
    bool bClose();
    bool bMoveRight(int target, long long* pNs);
    uint32_t Pixel(Window w, int px, int py);
    bool bWaitPainted(const std::function<bool()>& done);
    void vKey(KeySym sym);
    void vClick(int px, int py, long long* pReleased);

    SOptions opt;
    CXSession session;
    CLumicueHome home;
    CChildProcess program;
    std::string strRoot;
    Display* dpy = nullptr;
    Window main = 0;
    Window popup = 0;
    Window damagedWindow = 0;
    int nDamageEvent = 0;
    int nPreviewX = 0, nPreviewY = 0;
};

uint32_t CGalleryBench::Pixel(Window w, int px, int py)
{
    XImage* img = XGetImage(dpy, w, px, py, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return 0;
    const uint32_t v = static_cast<uint32_t>(XGetPixel(img, 0, 0)) & 0xFFFFFF;
    XDestroyImage(img);
    return v;
}

// Waits on the window's damage until done() holds: event-driven, no polling.
bool CGalleryBench::bWaitPainted(const std::function<bool()>& done)
{
    if (done())
        return true;
    return CXWait::bUntil(dpy, NowNs() + kDeadlineNs, [&](const XEvent& ev) {
        if (ev.type != nDamageEvent + XDamageNotify)
            return false;
        XDamageSubtract(dpy, reinterpret_cast<const XDamageNotifyEvent&>(ev).damage, None, None);
        return done();
    });
}

void CGalleryBench::vKey(KeySym sym)
{
    const KeyCode code = XKeysymToKeycode(dpy, sym);
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
}

void CGalleryBench::vClick(int px, int py, long long* pReleased)
{
    XTestFakeMotionEvent(dpy, -1, px, py, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XFlush(dpy);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    *pReleased = NowNs();
    XFlush(dpy);
}

bool CGalleryBench::bStart()
{
    char templ[] = "/tmp/lumicue-gallery-bench-XXXXXX";
    if (!mkdtemp(templ))
        return bFail("no temporary folder");
    strRoot = templ;
    if (!session.bStart(strRoot))
        return bFail("Xvfb or xcompmgr did not start");
    dpy = session.Dpy();
    if (!home.bPrepare(strRoot, opt.strProgram))
        return bFail("cannot prepare the install folder");
    const fs::path pointers = fs::path(strRoot) / "app" / "pointer";
    fs::remove(pointers / "bench.png");
    for (int i = 0; i < kPictures; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02d.png", i);
        if (!CLumicueHome::bWritePicture((pointers / name).string(), 256, i == 0 ? kFirstRing : 0x282828))
            return bFail("cannot write the pictures");
    }
    int error = 0;
    if (!XDamageQueryExtension(dpy, &nDamageEvent, &error))
        return bFail("no DAMAGE extension");
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);
    std::vector<std::string> env = home.Environment();
    env.push_back("DISPLAY=" + session.DisplayName());
    if (!program.bStart({home.Program()}, env, strRoot + "/lumicue.log"))
        return bFail("cannot start the program");
    const bool mapped = CXWait::bUntil(dpy, NowNs() + kDeadlineNs, [&](const XEvent& ev) {
        if (ev.type != MapNotify || ev.xmap.override_redirect)
            return false;
        main = ev.xmap.window;
        return true;
    });
    return mapped || bFail("no main window");
}

// The preview shows the first picture: the bounding box of its ring colour.
bool CGalleryBench::bFindPreview()
{
    const Damage damage = XDamageCreate(dpy, main, XDamageReportNonEmpty);
    const bool found = bWaitPainted([&] {
        XWindowAttributes a;
        XGetWindowAttributes(dpy, main, &a);
        XImage* img = XGetImage(dpy, main, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
        if (!img)
            return false;
        int left = a.width, top = a.height, right = -1, bottom = -1;
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x)
                if ((XGetPixel(img, x, y) & 0xFFFFFF) == kFirstRing) {
                    left = std::min(left, x), top = std::min(top, y);
                    right = std::max(right, x), bottom = std::max(bottom, y);
                }
        XDestroyImage(img);
        nPreviewX = a.x + (left + right) / 2;
        nPreviewY = a.y + (top + bottom) / 2;
        return right - left > 20;
    });
    XDamageDestroy(dpy, damage);
    return found || bFail("the preview does not show the first picture");
}

bool CGalleryBench::bOpen(long long* pNs)
{
    long long t0 = 0;
    vClick(nPreviewX, nPreviewY, &t0);
    if (!CXWait::bUntil(dpy, t0 + kDeadlineNs, [&](const XEvent& ev) {
            if (ev.type != MapNotify || !ev.xmap.override_redirect)
                return false;
            XWindowAttributes a;
            XGetWindowAttributes(dpy, ev.xmap.window, &a);
            if (a.width < kGalleryWidth || a.height < kGalleryHeight)
                return false;
            popup = ev.xmap.window;
            return true;
        }))
        return bFail("the gallery did not open");
    // Qt makes a new window for every showing of a pop-up; the old one took
    // its damage object with it.
    if (popup != damagedWindow) {
        XDamageCreate(dpy, popup, XDamageReportNonEmpty);
        damagedWindow = popup;
    }
    // Painted once the last cell shows its picture: the disc's yellow.
    const SCell last = CellOrigin(kPictures - 1);
    const bool painted = bWaitPainted([&] {
        const uint32_t px = Pixel(popup, last.x + 24, last.y + 24);
        return (px >> 16) > 200 && ((px >> 8) & 0xFF) > 120 && (px & 0xFF) < 100;
    });
    if (pNs)
        *pNs = NowNs() - t0;
    return painted || bFail("the gallery was not painted");
}

bool CGalleryBench::bClose()
{
    vKey(XK_Escape);
    XFlush(dpy);
    return CXWait::bUntil(dpy, NowNs() + kDeadlineNs,
               [&](const XEvent& ev) { return ev.type == UnmapNotify && ev.xunmap.window == popup; }) ||
        bFail("Escape did not close the gallery");
}

bool CGalleryBench::bMoveRight(int target, long long* pNs)
{
    const SCell cell = CellOrigin(target);
    const uint32_t before = Pixel(popup, cell.x + 2, cell.y + 2);
    vKey(XK_Right);
    const long long t0 = NowNs();
    XFlush(dpy);
    const bool moved = bWaitPainted([&] { return Pixel(popup, cell.x + 2, cell.y + 2) != before; });
    *pNs = NowNs() - t0;
    return moved || bFail("the selection was not repainted");
}

int CGalleryBench::Run()
{
    if (!bStart() || !bFindPreview())
        return 1;
    std::vector<double> opens, moves;
    for (int i = 0; i < opt.nOpens; ++i) {
        long long ns = 0;
        if (!bOpen(&ns) || !bClose())
            return 1;
        opens.push_back(static_cast<double>(ns) / kMs);
    }
    if (!bOpen(nullptr))
        return 1;
    for (int i = 0; i < opt.nMoves; ++i) {
        long long ns = 0;
        if (!bMoveRight((i + 1) % kPictures, &ns))
            return 1;
        moves.push_back(static_cast<double>(ns) / kMs);
    }
    if (!bClose())
        return 1;
    for (int i = 0; i < 10; ++i)
        if (!bOpen(nullptr) || !bClose())
            return 1;
    const SMemorySample before = CProcStats::Memory(program.Pid());
    for (int i = 0; i < opt.nCycles; ++i)
        if (!bOpen(nullptr) || !bClose())
            return 1;
    const SMemorySample after = CProcStats::Memory(program.Pid());

    std::printf("gallery of %d pictures of 256 x 256, %d opens, %d arrow moves, %d open/close cycles\n", kPictures,
        opt.nOpens, opt.nMoves, opt.nCycles);
    std::printf("click on preview to gallery painted   median %7.2f ms   p90 %7.2f ms   max %7.2f ms\n",
        Median(opens), Percentile(opens, 0.9), Percentile(opens, 1.0));
    std::printf("arrow key to selection repainted       median %7.2f ms   p90 %7.2f ms   max %7.2f ms\n",
        Median(moves), Percentile(moves, 0.9), Percentile(moves, 1.0));
    std::printf("resident memory after %d cycles        %lld kB -> %lld kB (growth %lld kB)\n", opt.nCycles,
        before.nRssKb, after.nRssKb, after.nRssKb - before.nRssKb);
    program.vStop();
    session.vStop();
    if (!opt.bKeep)
        fs::remove_all(strRoot);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    SOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--keep")
            o.bKeep = true;
        else if (i + 1 < argc && a == "--lumicue")
            o.strProgram = argv[++i];
        else if (i + 1 < argc && a == "--opens")
            o.nOpens = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--moves")
            o.nMoves = std::atoi(argv[++i]);
        else if (i + 1 < argc && a == "--cycles")
            o.nCycles = std::atoi(argv[++i]);
        else
            o.strProgram.clear(), i = argc;
    }
    if (o.strProgram.empty()) {
        std::fprintf(stderr, "usage: bench_GalleryBench --lumicue PATH [--opens N] [--moves N] [--cycles N] [--keep]\n");
        return 2;
    }
    return CGalleryBench(o).Run();
}
