// The program against faults around it: the X server going away (also
// while the program starts), a ragged shape without a compositor, a
// file-size limit that fails every save, close requests that pile up.
#include "DisplayFixture.h"
#include "PointerOnFixture.h"
#include "TestPicture.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Viewable top-level windows of the process (without a window manager they
// are the root's children).
int nViewableWindowsOf(CTestDisplay& x, pid_t pid)
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(x.Dpy(), x.Root(), &root, &parent, &children, &n))
        return -1;
    int count = 0;
    for (unsigned int i = 0; i < n; ++i)
        if (x.WindowPid(children[i]) == pid && x.bIsViewable(children[i]))
            ++count;
    if (children)
        XFree(children);
    return count;
}

bool bCleanEnd(const std::string& log)
{
    return log.find("AddressSanitizer") == std::string::npos && log.find("runtime error") == std::string::npos
        && log.find("LeakSanitizer") == std::string::npos;
}

} // namespace

class HardeningTest : public CDisplayFixture {};
class DisplayLossTest : public CPointerOnFixture {};

TEST_F(DisplayLossTest, LosingTheXServerEndsWithStatusOneAndKeepsTheSettings)
{
    // The mouse thread and the overlay are live when the server goes.
    vStart(CTestPicture(16, 16, kRed));
    vSwitchOnAt(100, 100);
    struct stat before {}, after {};
    ASSERT_EQ(stat(dir.OptionFile().c_str(), &before), 0);
    x.vClose();
    xvfb.vStop();
    EXPECT_EQ(nWaitExit(*program), 1) << "no crash, no core: status 1";
    EXPECT_TRUE(bCleanEnd(program->strLogText())) << program->strLogText();
    ASSERT_EQ(stat(dir.OptionFile().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "the options are saved on the way out";
}

TEST_F(HardeningTest, AFileSizeLimitFailsSavesWithoutKillingAndCloseRequestsShowOneBox)
{
    // German makes the start write Config.ini, which the limit refuses.
    LaunchOptions limited;
    limited.strLang = "de_DE.UTF-8";
    limited.strUlimit = "-f 0";
    CChildProcess* p = nullptr;
    ASSERT_NE(StartMainWindow(&p, {}, limited, "Lumicue"), None) << "SIGXFSZ must not end the start";
    EXPECT_FALSE(fs::exists(dir.DataDir() / "Config.ini")) << "a failed write leaves no empty file";

    // Each /u asks for the close; its save fails and shows the box, whose
    // loop then sees the next requests.
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(nRunToEnd({"/u"}), 0);
    ASSERT_TRUE(bWaitFor([&] { return nViewableWindowsOf(x, p->Pid()) >= 2; })) << "no \"Error Occur!\" box";
    ASSERT_EQ(nRunToEnd({}), 0);  // handled after every /u before it
    x.vSettle(CDeadline::Millis(300));
    EXPECT_EQ(nViewableWindowsOf(x, p->Pid()), 2) << "the main window and one box";
    EXPECT_FALSE(p->bExited());

    // Half closed: the pointer is off and stays so, and says why.
    for (const char* request : {"--status", "--on", "--toggle"}) {
        CChildProcess& answer = Launch({request});
        EXPECT_EQ(nWaitExit(answer), request[2] == 's' ? 0 : 1) << request;
        EXPECT_EQ(answer.strLogText(), request[2] == 's' ? "off\n" : "Lumicue is closing; the pointer stays off.\n");
    }
    EXPECT_EQ(x.FindOverlay(), None);
}

TEST_F(HardeningTest, LinksUnderTheNamesOfSavedFilesSurviveAStartAndQuit)
{
    // The option file a link to a FIFO in the test's folder, Config.ini one
    // to a device: every save fails (the box shows) and writes through none.
    const fs::path fifo = dir.Root() / "options.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(dir.DataDir());
    fs::remove(dir.OptionFile());
    fs::create_symlink(fifo, dir.OptionFile());
    fs::create_symlink("/dev/null", dir.DataDir() / "Config.ini");
    LaunchOptions german;
    german.strLang = "de_DE.UTF-8";
    CChildProcess* p = nullptr;
    ASSERT_NE(StartMainWindow(&p, {}, german, "Lumicue"), None);
    ASSERT_EQ(nRunToEnd({"/u"}), 0);
    ASSERT_TRUE(bWaitFor([&] { return nViewableWindowsOf(x, p->Pid()) >= 2; })) << "no \"Error Occur!\" box";
    EXPECT_TRUE(fs::is_symlink(dir.OptionFile()) && fs::is_fifo(fifo) && fs::read_symlink(dir.OptionFile()) == fifo);
    EXPECT_TRUE(fs::is_symlink(dir.DataDir() / "Config.ini") && fs::is_character_file("/dev/null"));
}

// Without a compositor: the shape a ragged picture costs the server, and the
// server dying while the program starts.
class XServerTest : public CPointerOnFixture {
protected:
    DisplaySetup Setup() const override { return {.bCompositor = false, .bShippedPointers = false}; }
};

TEST_F(XServerTest, ARaggedShapeCostsTheServerLittleAndItsDeathDuringTheStartEndsWithStatusOne)
{
    CTestPicture checkerboard(512, 300);
    for (int y = 0; y < 300; ++y)
        for (int px = 0; px < 512; ++px)
            checkerboard.vSet(px, y, (px + y) % 2 ? kRed : 0);
    vStart(checkerboard);
    ASSERT_EQ(nRunToEnd({"--on"}), 0);
    // The overlay's requests were sent before --on was answered; a shape the
    // server chews on for seconds holds this round trip up as long.
    const auto t0 = std::chrono::steady_clock::now();
    XSync(x.Dpy(), False);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(100));
    EXPECT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None; }) && bBoundingShaped());
    vExitInOrder();

    // Killed 50 to 200 ms after the start, on a timer that the wait for the
    // program's end runs against.
    for (int nDelayMs : {50, 100, 150, 200})
        for (int nRound = 0; nRound < 5; ++nRound) {
            CXvfbServer server;
            ASSERT_TRUE(server.bStart((dir.LogDir() / "Xvfb-dying.log").string(), CDeadline::Seconds(15)));
            LaunchOptions options;
            options.extraEnv = {"DISPLAY=" + server.strDisplay()};
            CChildProcess& p = Launch({}, options);
            p.bWaitExit(CDeadline::Millis(nDelayMs));
            server.vStop();
            EXPECT_EQ(nWaitExit(p), 1) << "killed after " << nDelayMs << " ms, round " << nRound << ":\n" << p.strLogText();
        }
}
