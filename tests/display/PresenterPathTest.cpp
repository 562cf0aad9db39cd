// A presenter's path through the Options page, in English and in German, by
// keyboard as a presenter would: a user picture shows in the gallery
// without a restart, click rings come and go, 200 % doubles the overlay with
// the hot spot under the cursor, and a switch without its balloon.
#include "DisplayFixture.h"
#include "OptionRecord.h"
#include "TestPicture.h"

#include <X11/keysym.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

struct Presenter {
    const char* szLang;
    unsigned long size, announce, clicks; // the Options page's mnemonics in that language
};

constexpr uint32_t kPreviewColour = 0xFFFF00FF;
constexpr int kPictureSide = 40;
constexpr int kHotSpot = 6;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

class PresenterPathTest : public CDisplayFixture, public ::testing::WithParamInterface<Presenter> {
protected:
    DisplaySetup Setup() const override { return {.bTray = true, .bShippedPointers = false}; }

    // A viewable window of the program (pid 0: of anyone), other than the known ones, that passes the test.
    Window FindWindow(pid_t pid, const std::vector<Window>& known, const std::function<bool(const TestRect&)>& bWanted,
                      TestRect* pRect = nullptr)
    {
        Window rootRet, parent, *children = nullptr;
        unsigned int n = 0;
        Window found = None;
        if (XQueryTree(x.Dpy(), x.Root(), &rootRet, &parent, &children, &n))
            for (unsigned int i = 0; i < n && !found; ++i) {
                TestRect rc;
                if (std::find(known.begin(), known.end(), children[i]) == known.end() && x.bIsViewable(children[i])
                    && (pid == 0 || x.WindowPid(children[i]) == pid) && x.bGeometry(children[i], rc) && bWanted(rc)) {
                    found = children[i];
                    if (pRect)
                        *pRect = rc;
                }
            }
        if (children)
            XFree(children);
        return found;
    }

    // A ring: a square window centred on the point, mapped after the
    // first nSince windows the test saw mapped. Looked up from the map
    // events, so a ring already gone again still counts.
    Window FindRing(std::size_t nSince, int cx, int cy)
    {
        const std::vector<Window> mapped = x.SeenMapped();
        for (std::size_t i = nSince; i < mapped.size(); ++i) {
            TestRect rc;
            if (x.bGeometry(mapped[i], rc) && rc.width == rc.height && rc.x + rc.width / 2 == cx
                && rc.y + rc.height / 2 == cy)
                return mapped[i];
        }
        return None;
    }
};

TEST_P(PresenterPathTest, OptionsSizeBalloonClickRingsAndUserPictures)
{
    const Presenter& p = GetParam();
    CTestPicture picture(kPictureSide, kPictureSide, kPreviewColour);
    const fs::path shipped = dir.PointerDir() / ("arrow-" + std::to_string(kHotSpot) + ".png");
    ASSERT_TRUE(picture.bWritePng(shipped.string()));
    COptionRecord record;
    record.nOpacity = 100;
    record.strPointerFile = shipped.string();
    fs::create_directories(dir.DataDir());
    ASSERT_TRUE(record.bWrite(dir.OptionFile().string()));
    ASSERT_TRUE(x.bWatchScreen());
    const Window background = x.CreateTestWindow({0, 0, CXvfbServer::nWidth, CXvfbServer::nHeight}, 0x204060);
    CChildProcess* program = nullptr;
    LaunchOptions options;
    options.strLang = p.szLang;
    const Window main = StartMainWindow(&program, {}, options);
    ASSERT_NE(main, None);
    TestRect rcMain;
    ASSERT_TRUE(x.bGeometry(main, rcMain));

    // A picture added to the user's folder shows the next time the gallery opens: two cells, 2 x 1.
    const fs::path user = dir.Home() / ".local" / "share" / "lumicue" / "pointer";
    fs::create_directories(user);
    ASSERT_TRUE(CTestPicture(30, 30, 0xFF00FF00).bWritePng((user / "mine.png").string()));
    std::ofstream(user / "broken.png") << "not a picture";
    TestRect preview{rcMain.x + rcMain.width, 0, 0, 0};
    ASSERT_TRUE(bWaitFor([&] {
        int found = 0;
        const std::vector<uint32_t> px = x.Pixels(rcMain);
        for (int i = 0; i < rcMain.width * rcMain.height; ++i)
            if (px[static_cast<size_t>(i)] == (kPreviewColour & 0xFFFFFF) && ++found)
                preview = {rcMain.x + i % rcMain.width, rcMain.y + i / rcMain.width, 1, 1};
        return found > 100;
    })) << "no preview";
    x.vMove(preview.x - 5, preview.y - 5);
    x.vClick();
    TestRect gallery;
    Window popup = None;
    ASSERT_TRUE(bWaitFor([&] {
        popup = FindWindow(program->Pid(), {main}, [](const TestRect& rc) { return rc.width >= 100 && rc.height >= 100; },
            &gallery);
        return popup != None && gallery.width > 2 * 48 + 16; // with its shadow
    })) << "the gallery with the user's pictures: 2 x 2 cells";
    EXPECT_EQ(gallery.width, 2 * 48 + 16 + 4);
    // The file that is no picture is crossed out; choosing it keeps the picture.
    EXPECT_TRUE(bWaitFor([&] {
        const std::vector<uint32_t> px = x.Pixels(gallery);
        return std::count(px.begin(), px.end(), 0xC80000u) > 40;
    })) << "no mark on the broken picture";
    ASSERT_TRUE(x.bKey(XK_Right));
    ASSERT_TRUE(x.bKey(XK_Return));
    ASSERT_TRUE(bWaitFor([&] { return !x.bIsViewable(popup); }));
    x.vSettle(CDeadline::Millis(200));
    EXPECT_EQ(x.Pixels(TestRect{preview.x, preview.y, 1, 1})[0], kPreviewColour & 0xFFFFFF) << "the old picture stays";

    // The Options page, the third tab: 200 %, click rings on.
    ASSERT_TRUE(x.bFocus(main));
    ASSERT_TRUE(x.bKey(XK_Next, ControlMask));
    ASSERT_TRUE(x.bKey(XK_Next, ControlMask));
    ASSERT_TRUE(x.bKey(p.size, Mod1Mask));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(x.bKey(XK_Prior));
    ASSERT_TRUE(x.bKey(p.clicks, Mod1Mask));
    const int cx = CXvfbServer::nWidth - 200, cy = CXvfbServer::nHeight - 200;
    x.vMove(cx, cy);
    // Each change is written to Config.ini as it is made.
    ASSERT_TRUE(bWaitOnFolder(dir.DataDir(), [&] {
        const std::string text = ReadText(dir.DataDir() / "Config.ini");
        return text.find("PointerSize=200") != std::string::npos && text.find("ShowClicks=1") != std::string::npos;
    }));
    std::size_t nMapped = x.SeenMapped().size();
    x.vClick();
    Window ring = None;
    EXPECT_TRUE(bWaitFor([&] { return (ring = FindRing(nMapped, cx, cy)) != None; }))
        << "a click shows a ring centred on the pointer";
    EXPECT_TRUE(x.bWaitUntil([&] { return ring == None || !x.bIsViewable(ring); }, CDeadline::Millis(1000)))
        << "the ring goes after about 300 ms";

    // Rings off: a click shows none.
    ASSERT_TRUE(x.bFocus(main));
    ASSERT_TRUE(x.bKey(p.clicks, Mod1Mask));
    ASSERT_TRUE(bWaitOnFolder(dir.DataDir(), [&] {
        return ReadText(dir.DataDir() / "Config.ini").find("ShowClicks=0") != std::string::npos;
    }));
    nMapped = x.SeenMapped().size();
    x.vClick();
    x.vSettle(CDeadline::Millis(400));
    EXPECT_EQ(FindRing(nMapped, cx, cy), None);

    // Balloon off; F8 shows the overlay twice the picture's size, hot spot under the pointer, and no balloon.
    ASSERT_TRUE(x.bKey(p.announce, Mod1Mask));
    ASSERT_TRUE(bWaitOnFolder(dir.DataDir(), [&] {
        return ReadText(dir.DataDir() / "Config.ini").find("AnnounceSwitching=0") != std::string::npos;
    }));
    ASSERT_TRUE(x.bFocus(background));
    ASSERT_TRUE(x.bKey(XK_F8));
    Window overlay = None;
    ASSERT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None; }));
    TestRect rc;
    EXPECT_TRUE(bWaitFor([&] { return x.bGeometry(overlay, rc) && rc.width == 2 * kPictureSide; }));
    EXPECT_EQ(rc, (TestRect{cx - 2 * kHotSpot, cy - 2 * kHotSpot, 2 * kPictureSide, 2 * kPictureSide}));
    x.vSettle(CDeadline::Millis(400));
    TestRect other;
    const Window balloon = FindWindow(program->Pid(), {main, overlay, background}, [](const TestRect& r) { return r.width > 100; }, &other);
    EXPECT_EQ(balloon, None) << "no balloon announces the switch: " << x.strTitle(balloon) << " " << other.x << "," << other.y << " " << other.width << "x" << other.height;
}

INSTANTIATE_TEST_SUITE_P(Languages, PresenterPathTest,
    ::testing::Values(Presenter{"en_US.UTF-8", XK_s, XK_a, XK_c}, Presenter{"de_DE.UTF-8", XK_g, XK_s, XK_k}),
    [](const ::testing::TestParamInfo<Presenter>& language) { return std::string(language.param.szLang).substr(0, 2); });

// A screen scaled twice (QT_SCALE_FACTOR=2 on 2560 x 1600): the window lies
// wholly on it, and the first picture, the default, is shown at twice its size.
class ScaledScreenTest : public CDisplayFixture {
protected:
    DisplaySetup Setup() const override { return {.nScreenWidth = 2560, .nScreenHeight = 1600}; }
};

TEST_F(ScaledScreenTest, TheWindowFitsAndTheDefaultPictureIsTwiceItsSize)
{
    constexpr int kFirstSide = 128, kFirstHotSpot = 8; // arrow-amber-8.png
    ASSERT_TRUE(fs::exists(dir.PointerDir() / "arrow-amber-8.png"));
    LaunchOptions options;
    options.extraEnv = {"QT_SCALE_FACTOR=2"};
    const Window main = StartMainWindow(nullptr, {}, options);
    ASSERT_NE(main, None);
    TestRect rc;
    ASSERT_TRUE(x.bGeometry(main, rc));
    EXPECT_TRUE(rc.x >= 0 && rc.y >= 0 && rc.x + rc.width <= 2560 && rc.y + rc.height <= 1600)
        << rc.x << "," << rc.y << " " << rc.width << "x" << rc.height;
    EXPECT_GT(rc.width, 400) << "the window is drawn at the screen's scale";
    x.vMove(1000, 800);
    ASSERT_TRUE(x.bKey(XK_F8));
    Window overlay = None;
    ASSERT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None; }));
    TestRect shown;
    EXPECT_TRUE(bWaitFor([&] { return x.bGeometry(overlay, shown) && shown.width == 2 * kFirstSide; }))
        << shown.width << " for a picture of " << kFirstSide;
    EXPECT_EQ(shown.x, 1000 - 2 * kFirstHotSpot);
}
