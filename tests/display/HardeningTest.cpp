// The program against faults around it: the X server going away, a
// file-size limit that fails every save, close requests that pile up.
#include "DisplayFixture.h"
#include "PointerOnFixture.h"
#include "TestPicture.h"

#include <sys/stat.h>

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
}
