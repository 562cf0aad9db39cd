// The tray icon in a real tray host (trayer): it appears when the host starts
// late, restores the window, opens the menu with the toggle's check mark,
// announces switches in balloons, exits with the pointer off; and the update
// notice fetched through a proxy over https opens its page when clicked.
#include "DisplayFixture.h"
#include "OptionRecord.h"

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

class TrayTest : public CDisplayFixture {
protected:
    // The icon: a small viewable window of the program below a top-level.
    Window FindTrayIcon(pid_t pid, Window w = None, int depth = 0)
    {
        Window rootRet, parent, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(x.Dpy(), w ? w : x.Root(), &rootRet, &parent, &children, &n))
            return None;
        std::vector<Window> list(children, children + n);
        if (children)
            XFree(children);
        for (Window c : list) {
            TestRect rc;
            if (depth > 0 && x.WindowPid(c) == pid && x.bIsViewable(c) && x.bGeometry(c, rc) && rc.width <= 64
                && rc.height <= 64)
                return c;
            if (Window found = depth < 4 ? FindTrayIcon(pid, c, depth + 1) : None)
                return found;
        }
        return None;
    }

    // A viewable top-level of the program other than the known ones: a menu
    // or a balloon.
    Window FindPopup(pid_t pid, const std::vector<Window>& known)
    {
        Window rootRet, parent, *children = nullptr;
        unsigned int n = 0;
        Window found = None;
        if (XQueryTree(x.Dpy(), x.Root(), &rootRet, &parent, &children, &n))
            for (unsigned int i = 0; i < n && !found; ++i) {
                TestRect rc;
                if (std::find(known.begin(), known.end(), children[i]) == known.end() && x.bIsViewable(children[i])
                    && x.WindowPid(children[i]) == pid && x.bGeometry(children[i], rc) && rc.width > 100)
                    found = children[i];
            }
        if (children)
            XFree(children);
        return found;
    }

    void vClickAt(Window w, unsigned int button)
    {
        int rx = 0, ry = 0;
        Window child;
        XTranslateCoordinates(x.Dpy(), w, x.Root(), 4, 4, &rx, &ry, &child);
        x.vMove(rx, ry);
        x.vClick(button);
    }

    // Dark pixels of the menu: its texts, or (in the strip left of them) the check mark.
    int nDarkPixels(Window menu, int nWidth = 0)
    {
        TestRect rc;
        if (!x.bGeometry(menu, rc))
            return 0;
        const std::vector<uint32_t> pixels = x.Pixels({rc.x, rc.y, nWidth ? nWidth : rc.width, rc.height});
        return static_cast<int>(std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) {
            return ((p >> 16) & 0xFF) < 0x50 && ((p >> 8) & 0xFF) < 0x50 && (p & 0xFF) < 0x50;
        }));
    }

    // A menu of the program, once its texts are painted (it has taken the
    // keyboard by then).
    Window WaitForMenu(pid_t pid, const std::vector<Window>& known)
    {
        Window menu = None;
        bWaitFor([&] { return (menu = FindPopup(pid, known)) != None && nDarkPixels(menu) > 100; });
        return menu;
    }

    static constexpr int nCheckStrip = 20;

    static std::string ReadFile(const fs::path& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(TrayTest, IconMenuBalloonsAndExitWithThePointerOff)
{
    COptionRecord option;
    option.strPointerFile = (dir.PointerDir() / "ring-red.png").string();
    fs::create_directories(dir.DataDir());
    ASSERT_TRUE(option.bWrite(dir.OptionFile().string()));
    // Without a host the program starts, logs it once, and waits for one.
    CChildProcess& program = Launch({"/m"});
    Window main = None;
    ASSERT_TRUE(bWaitFor([&] {
        main = x.FindWindowByTitle(szMainTitle, program.Pid());
        return (main != None && x.bSeenUnmapped(main)) || program.bExited();
    }));
    char date[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
    const std::string log = ReadFile(dir.DataDir() / "Log" / ("Lumicue_" + std::string(date) + ".log"));
    EXPECT_NE(log.find("No notification area runs"), std::string::npos) << log;

    ASSERT_TRUE(x.bWatchScreen());
    ASSERT_TRUE(bStartTray());
    Window icon = None;
    ASSERT_TRUE(bWaitFor([&] { return (icon = FindTrayIcon(program.Pid())) != None; })) << "no icon in the tray";

    // The tray may still be placing the icon when it first shows: a click
    // that missed it is made again where the icon is now.
    bool bRestored = false;
    for (int i = 0; i < 3 && !bRestored; ++i) {
        vClickAt(icon, 1);
        bRestored = x.bWaitUntil([&] { return x.bIsViewable(main); }, CDeadline::Seconds(3));
    }
    ASSERT_TRUE(bRestored) << "a left click restores the hidden window";

    vClickAt(icon, 3);
    Window menu = WaitForMenu(program.Pid(), {main});
    ASSERT_NE(menu, None) << "no menu";
    EXPECT_EQ(nDarkPixels(menu, nCheckStrip), 0) << "no check mark while the pointer is off";
    ASSERT_TRUE(x.bKey(XK_p));
    Window overlay = None;
    ASSERT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None && x.bIsViewable(overlay); }))
        << "\"p\" switches the pointer on";
    Window balloon = None;
    EXPECT_TRUE(bWaitFor([&] { return (balloon = FindPopup(program.Pid(), {main, menu, overlay})) != None; }))
        << "the switch is announced in a balloon";
    EXPECT_TRUE(bWaitFor([&] { return !x.bIsViewable(balloon); }, 5)) << "the balloon goes after about a second";

    vClickAt(icon, 3);
    menu = WaitForMenu(program.Pid(), {main, overlay, balloon});
    ASSERT_NE(menu, None);
    EXPECT_TRUE(bWaitFor([&] { return nDarkPixels(menu, nCheckStrip) > 0; })) << "checked while the pointer is on";
    ASSERT_TRUE(x.bKey(XK_x));
    EXPECT_EQ(nWaitExit(program), 0);
    EXPECT_TRUE(bWaitFor([&] { return !x.bExists(overlay); }));
}

class TrayUpdateTest : public TrayTest {
protected:
    DisplaySetup Setup() const override { return {.bCompositor = false, .bTray = true}; }
};

TEST_F(TrayUpdateTest, TheUpdateNoticeComesThroughTheProxyAndOpensItsPage)
{
    const fs::path certs = dir.Root() / "certs", files = dir.Root() / "files", bin = dir.Root() / "bin";
    for (const fs::path& p : {certs, files, bin})
        fs::create_directories(p);
    const std::string support = LUMICUE_SOURCE_DIR "/tests/support/";
    CChildProcess make;
    ASSERT_TRUE(make.bStart({{support + "make-test-ca.sh", certs.string()}, {"PATH=/usr/bin:/bin"}, ""}));
    ASSERT_TRUE(make.bWaitExit(CDeadline::Seconds(30)));
    std::ofstream(files / "update.ini") << "[Lumicue]\r\nVersion=V9.9.9\r\nNewVerFile=https://lumicue.example/new.htm\r\n";

    CChildProcess server;
    const fs::path ports = dir.Root() / "ports";
    ASSERT_TRUE(server.bStart({{"/usr/bin/python3", support + "hostile_server.py", "--log",
                                   (dir.Root() / "requests.log").string(), "--files", files.string(), "--certs",
                                   certs.string(), "--lifetime", "120", "--port-file", ports.string()},
        {"PATH=/usr/bin:/bin"}, (dir.LogDir() / "server.log").string()}));
    ASSERT_TRUE(bWaitForFile(ports, true, 20));
    int nPort = 0;
    std::istringstream(ReadFile(ports)) >> nPort;

    // The desktop's default handler, recording what it is asked to open.
    const fs::path opened = dir.Root() / "opened";
    std::ofstream(bin / "xdg-open") << "#!/bin/sh\necho \"$1\" > " << opened.string() << ".tmp && mv "
                                    << opened.string() << ".tmp " << opened.string() << "\n";
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);

    COptionRecord option;
    option.bAutoCheckUpdate = 1;
    fs::create_directories(dir.DataDir());
    ASSERT_TRUE(option.bWrite(dir.OptionFile().string()));
    LaunchOptions launch;
    launch.extraEnv = {"https_proxy=http://127.0.0.1:" + std::to_string(nPort),
        "SSL_CERT_FILE=" + (certs / "ca.pem").string(), "LUMICUE_TEST_UPDATE_DELAY_MS=200",
        "PATH=" + bin.string() + ":/usr/bin:/bin"};
    CChildProcess& program = Launch({"/m"}, launch);
    Window main = None, balloon = None;
    ASSERT_TRUE(bWaitFor([&] {
        main = x.FindWindowByTitle(szMainTitle, program.Pid());
        balloon = main ? FindPopup(program.Pid(), {main}) : None;
        return balloon != None || program.bExited();
    }, 20)) << "no update balloon";
    vClickAt(balloon, 1);
    ASSERT_TRUE(bWaitForFile(opened, true, 10)) << "the default handler was not called";
    EXPECT_EQ(ReadFile(opened), "https://lumicue.example/new.htm\n");
    const std::string requests = ReadFile(dir.Root() / "requests.log");
    EXPECT_NE(requests.find("CONNECT lumicue.example:443"), std::string::npos) << requests;
    EXPECT_NE(requests.find("GET /product/update.ini tls"), std::string::npos) << requests;
    server.vStop();
}
