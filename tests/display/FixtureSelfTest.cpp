// Proves the display fixture against a trivial X client of our own, so that
// a failing program test points at the program and not at the harness.
#include "DisplayFixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

const char* const szClientTitle = "Fixture client \xC3\x84";  // non-ASCII on purpose

// A client that shows one window; Escape unmaps and maps it again, Alt+X
// ends it with code 4.
int RunTrivialClient(const std::string& strDisplay)
{
    Display* d = XOpenDisplay(strDisplay.c_str());
    if (!d)
        return 10;
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 50, 60, 200, 100, 0, 0, 0x204060);
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(szClientTitle), static_cast<int>(strlen(szClientTitle)));
    long pid = getpid();
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    XSelectInput(d, w, KeyPressMask);
    XMapWindow(d, w);
    for (;;) {
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type != KeyPress)
            continue;
        KeySym sym = XLookupKeysym(&ev.xkey, 0);
        if (sym == XK_Escape) {
            XUnmapWindow(d, w);
            XSync(d, False);
            XMapWindow(d, w);
            XSync(d, False);
        } else if (sym == XK_x && (ev.xkey.state & Mod1Mask)) {
            XCloseDisplay(d);
            return 4;
        }
    }
}

} // namespace

class FixtureSelfTest : public CDisplayFixture {};

TEST_F(FixtureSelfTest, FindsDrivesAndEndsAClient)
{
    CChildProcess client;
    std::string display = xvfb.strDisplay();
    ASSERT_TRUE(client.bStartFunction([display] { return RunTrivialClient(display); },
                                      (dir.LogDir() / "client.log").string()));
    Window w = x.WaitForWindow(szClientTitle, client.Pid(), true, CDeadline::Seconds(10));
    ASSERT_NE(w, None);
    EXPECT_EQ(x.FindWindowByTitle(szClientTitle, client.Pid() + 100000), None) << "the pid must count";
    TestRect rc;
    ASSERT_TRUE(x.bGeometry(w, rc));
    EXPECT_EQ(rc, (TestRect{50, 60, 200, 100}));

    ASSERT_TRUE(x.bFocus(w));
    EXPECT_EQ(x.FocusWindow(), w);
    ASSERT_TRUE(x.bKey(XK_Escape));
    EXPECT_TRUE(x.bWaitUntil([&] { return x.bSeenUnmapped(w) && x.bIsViewable(w); }, CDeadline::Seconds(10)));
    EXPECT_TRUE(x.bSeenMapped(w));

    // Unmapping dropped the focus; it goes back before the next key.
    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bKey(XK_x, Mod1Mask));
    ASSERT_TRUE(client.bWaitExit(CDeadline::Seconds(10)));
    EXPECT_EQ(client.nExitCode(), 4);
    EXPECT_TRUE(x.bWaitUntil([&] { return !x.bExists(w); }, CDeadline::Seconds(10)));
}

TEST_F(FixtureSelfTest, ReadsTheCompositedScreenAndClicks)
{
    ASSERT_TRUE(x.bHasSelectionOwner("_NET_WM_CM_S0"));
    ASSERT_TRUE(x.bWatchScreen());
    Window w = x.CreateTestWindow({100, 120, 80, 40}, 0x3366CC);
    // The compositor may repaint in pieces: wait for the whole block.
    std::vector<uint32_t> block;
    EXPECT_TRUE(x.bWaitUntil([&] {
        block = x.Pixels({100, 120, 80, 40});
        return std::all_of(block.begin(), block.end(), [](uint32_t p) { return p == 0x3366CC; });
    }, CDeadline::Seconds(10))) << std::hex << x.Pixel(100, 120);
    EXPECT_EQ(block.size(), 80u * 40u);
    EXPECT_NE(x.Pixel(99, 119), 0x3366CCu) << "outside the window the root shows";

    x.vMove(130, 140);
    x.vClick(1);
    EXPECT_TRUE(x.bWaitUntil([&] { return x.nButtonPresses(w) == 1; }, CDeadline::Seconds(10)));
}

TEST_F(FixtureSelfTest, GrabHolderReceivesTheKey)
{
    Window w = x.CreateTestWindow({0, 0, 50, 50}, 0x000000);
    ASSERT_TRUE(x.bFocus(w));
    ASSERT_TRUE(x.bGrabKey(XK_F8, 0));
    ASSERT_TRUE(x.bKey(XK_F8));
    EXPECT_TRUE(x.bWaitUntil([&] { return x.nKeyPresses(x.Root(), XK_F8) == 1; }, CDeadline::Seconds(10)));
    EXPECT_EQ(x.nKeyPresses(w, XK_F8), 0);
    x.vUngrabKey(XK_F8, 0);
    ASSERT_TRUE(x.bKey(XK_F8));
    EXPECT_TRUE(x.bWaitUntil([&] { return x.nKeyPresses(w, XK_F8) == 1; }, CDeadline::Seconds(10)));
}

TEST_F(FixtureSelfTest, StopEndsTheWholeProcessGroup)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    CChildProcess parent;
    ASSERT_TRUE(parent.bStartFunction([fds] {
        pid_t grandchild = fork();
        if (grandchild == 0) {
            for (;;)
                pause();
        }
        (void)!write(fds[1], &grandchild, sizeof grandchild);
        for (;;)
            pause();
        return 0;
    }, (dir.LogDir() / "group.log").string()));
    close(fds[1]);
    pid_t grandchild = 0;
    pollfd p{fds[0], POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 10000), 1);
    ASSERT_EQ(read(fds[0], &grandchild, sizeof grandchild), static_cast<ssize_t>(sizeof grandchild));
    close(fds[0]);
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, grandchild, 0));
    ASSERT_GE(pidfd, 0);

    parent.vStop();
    EXPECT_EQ(parent.nExitCode(), 128 + SIGKILL);
    pollfd g{pidfd, POLLIN, 0};
    EXPECT_EQ(poll(&g, 1, 10000), 1) << "the grandchild outlived the stop";
    close(pidfd);
}

class FixtureBareTest : public CDisplayFixture {
protected:
    DisplaySetup Setup() const override { return {.bCompositor = false, .bTray = true}; }
};

TEST_F(FixtureBareTest, NoCompositorButATray)
{
    EXPECT_FALSE(x.bHasSelectionOwner("_NET_WM_CM_S0"));
    EXPECT_TRUE(x.bHasSelectionOwner("_NET_SYSTEM_TRAY_S0"));
    // Without a compositing manager the server paints the background at map.
    x.CreateTestWindow({10, 10, 30, 30}, 0xFF8000);
    EXPECT_EQ(x.Pixel(20, 20), 0xFF8000u);
}
