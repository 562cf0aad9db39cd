// The window's thread answers at all times while heavy pictures are decoded:
// a start hidden with 40 zero-filled 4096 x 4096 pictures in a gallery of
// 2,000, the window opened, the gallery opened and a heavy picture chosen,
// F8 with it and F8 again, all under a ping every 50 ms and a `--status`
// every 500 ms.
#include "AnswerProbe.h"
#include "DisplayFixture.h"
#include "TestPicture.h"

#include <X11/keysym.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kFirstColour = 0xFFFF00FF;
constexpr long long kAnswerNs = 100'000'000;
// A ping's round trip goes through the X server, which copies and composites
// the pictures on this shared machine: the gallery's first paint and the
// server's work on a 4096 x 4096 window get looser bounds.
constexpr long long kGalleryNs = 300'000'000;
constexpr long long kSwitchNs = 1'000'000'000;

std::string Slurp(const fs::path& folder)
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path());
        text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return text;
}

} // namespace

class HeavyPictureTest : public CDisplayFixture {
protected:
    DisplaySetup Setup() const override { return {.bShippedPointers = false}; }

    // The first picture (a small magenta square, chosen by a first run),
    // 40 heavy ones, one over the pixel budget and small ones up to 2,000.
    void vWritePictures()
    {
        const fs::path pointer = dir.PointerDir();
        ASSERT_TRUE(CTestPicture(32, 32, kFirstColour).bWritePng((pointer / "a-first.png").string()));
        const fs::path heavy = pointer / "a00-heavy.png";
        ASSERT_TRUE(CTestPicture(4096, 4096, 0).bWritePng(heavy.string()));
        ASSERT_LT(fs::file_size(heavy), 100'000u);
        char name[32];
        for (int i = 1; i < 40; ++i) {
            std::snprintf(name, sizeof name, "a%02d-heavy.png", i);
            fs::copy_file(heavy, pointer / name);
        }
        ASSERT_TRUE(CTestPicture(8200, 2, 0xFF000000).bWritePng((pointer / "a-zwide.png").string()));
        const fs::path small = pointer / "b0000.png";
        ASSERT_TRUE(CTestPicture(40, 40, 0xFF2080C0).bWritePng(small.string()));
        for (int i = 1; i < 2000 - 42; ++i) {
            std::snprintf(name, sizeof name, "b%04d.png", i);
            fs::copy_file(small, pointer / name);
        }
    }

    // The bounding box of the first picture's colour in the main window.
    bool bFindPreview(const TestRect& window, TestRect& preview)
    {
        const std::vector<uint32_t> px = x.Pixels(window);
        int left = window.width, top = window.height, right = -1, bottom = -1;
        for (int yy = 0; yy < window.height; ++yy)
            for (int xx = 0; xx < window.width; ++xx)
                if (px[yy * window.width + xx] == (kFirstColour & 0xFFFFFF)) {
                    left = std::min(left, xx), top = std::min(top, yy);
                    right = std::max(right, xx), bottom = std::max(bottom, yy);
                }
        preview = {window.x + left, window.y + top, right - left + 1, bottom - top + 1};
        return right >= 0 && preview.width > 20;
    }

    // A mapped override-redirect top-level at least w x h.
    Window FindLarge(int w, int h, TestRect* pRect)
    {
        Window rootRet, parent, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(x.Dpy(), x.Root(), &rootRet, &parent, &children, &n))
            return None;
        Window found = None;
        for (unsigned int i = 0; i < n && found == None; ++i) {
            TestRect rc;
            if (x.bIsViewable(children[i]) && x.bGeometry(children[i], rc) && rc.width >= w && rc.height >= h) {
                XWindowAttributes a;
                if (XGetWindowAttributes(x.Dpy(), children[i], &a) && a.override_redirect) {
                    found = children[i];
                    *pRect = rc;
                }
            }
        }
        if (children)
            XFree(children);
        return found;
    }
};

// What a phase of the walk measured: the window's longest unanswered
// stretch, and every `--status` right ("not running" from a running program
// is the channel's fault, counted and printed apart).
void vReport(const char* szPhase, const CAnswerProbe::Results& r, long long nBoundNs)
{
    std::printf("%s: longest unanswered ping %.1f ms over %d pings; longest --status %.1f ms over %d (%d \"not "
                "running\")\n",
        szPhase, r.nLongestPingNs / 1e6, r.nPings, r.nLongestStatusNs / 1e6, r.nStatus, r.nNotRunning);
    EXPECT_GT(r.nPings, 0) << szPhase;
    EXPECT_LT(r.nLongestPingNs, nBoundNs) << szPhase << ": the window's thread left a ping unanswered that long";
    EXPECT_TRUE(r.failures.empty()) << szPhase << ": " << r.failures.size() << " wrong answers, the first: "
                                    << r.failures.front();
}

TEST_F(HeavyPictureTest, WindowAnswersThroughHeavyStartGalleryAndSwitches)
{
    vWritePictures();
    ASSERT_FALSE(HasFatalFailure());
    CChildProcess& app = Launch({"/m"});
    Window main = None;
    ASSERT_TRUE(bWaitFor([&] {
        main = x.FindWindowByTitle(szMainTitle, app.Pid());
        return (main != None && x.bSeenUnmapped(main)) || app.bExited();
    }, 30));
    ASSERT_FALSE(app.bExited()) << app.strLogText();

    CAnswerProbe probe;
    CAnswerProbe::Options options;
    options.strDisplay = xvfb.strDisplay();
    options.nWindow = main;
    options.statusArgv = {dir.ProgramPath().string(), "--status"};
    options.statusEnv = ProgramEnvironment({});
    options.strLogDir = dir.LogDir().string();
    probe.vExpect("off\n");
    ASSERT_TRUE(probe.bStart(options));

    // The heavy start goes on while the window is opened.
    x.vSettle(CDeadline::Seconds(1));
    ASSERT_EQ(nRunToEnd({}), 0);
    TestRect window, preview, gallery;
    ASSERT_TRUE(bWaitFor([&] { return x.bIsViewable(main) && x.bGeometry(main, window); }));
    ASSERT_TRUE(bWaitFor([&] { return bFindPreview(window, preview); }, 20)) << "no preview of the first picture";
    vReport("heavy start, /m then open", probe.Take(), kAnswerNs);

    // The gallery of 2,000 stays inside the 1280 x 1024 screen.
    x.vMove(preview.x + preview.width / 2, preview.y + preview.height / 2);
    x.vClick();
    ASSERT_TRUE(bWaitFor([&] { return FindLarge(400, 400, &gallery) != None; }, 20)) << "the gallery did not open";
    EXPECT_LE(gallery.x + gallery.width, 1280);
    EXPECT_LE(gallery.y + gallery.height, 1024);
    EXPECT_GE(gallery.x, 0);
    EXPECT_GE(gallery.y, 0);
    x.vSettle(CDeadline::Seconds(1));
    // Its first paint (the whole screen's worth of cells, twice: the shadow
    // grows it) is the window's longest task here.
    vReport("gallery of 2,000 opened", probe.Take(), kGalleryNs);

    // The first heavy picture, then F8 with it: the overlay is its size.
    ASSERT_TRUE(x.bKey(XK_Right)); // the picture over the budget
    ASSERT_TRUE(x.bKey(XK_Right));
    ASSERT_TRUE(x.bKey(XK_Return));
    ASSERT_TRUE(bWaitFor([&] { return FindLarge(400, 400, &gallery) == None; }));
    probe.vExpect("");
    ASSERT_TRUE(x.bKey(XK_F8));
    TestRect overlay;
    EXPECT_TRUE(bWaitFor([&] { return FindLarge(4096, 4096, &overlay) != None; }, 30)) << "F8 showed no picture";
    probe.vExpect("on\n");
    x.vSettle(CDeadline::Millis(500));

    // Off and on again: the decoded picture is shown as it is.
    for (const char* szState : {"off\n", "on\n"}) {
        probe.vExpect("");
        ASSERT_TRUE(x.bKey(XK_F8));
        const bool bOn = szState[1] == 'n';
        EXPECT_TRUE(bWaitFor([&] { return (FindLarge(4096, 4096, &overlay) != None) == bOn; }));
        probe.vExpect(szState);
        x.vSettle(CDeadline::Millis(500));
    }
    probe.vStop();
    vReport("F8 on, off and on again with 4096 x 4096", probe.Take(), kSwitchNs);
    EXPECT_NE(Slurp(dir.DataDir() / "Log").find("a-zwide.png is 8200 x 2 pixels"), std::string::npos)
        << "the picture over the budget was not logged";
}
