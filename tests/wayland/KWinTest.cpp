// Lumicue on a headless KWin, the whole path: F8 through the script shows
// the picture, fake-input moves put it under the pointer over a native
// Wayland window and over an XWayland window, a click under it reaches the
// native window, F8 hides it, a killed run's script is replaced at the next
// start, and /u unloads it.
#include "WaylandSession.h"

#include "FakeInput.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QImage>
#include <QVariantMap>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const char* const kKWin = "/usr/bin/kwin_wayland";

class KWinTest : public CWaylandSession {
protected:
    void SetUp() override
    {
        if (!fs::exists(kKWin))
            GTEST_SKIP() << kKWin << " is not installed (scripts/install-deps installs kwin-wayland)";
        CWaylandSession::SetUp();
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "wayland_tests";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
        ASSERT_TRUE(bStartBus());
        ASSERT_TRUE(bStartKWin());
        bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(QString::fromStdString(strBusAddress),
            QStringLiteral("kwin-test")));
        ASSERT_TRUE(bus_->isConnected());
        ASSERT_TRUE(input.bConnect(strSocket, "lumicue tests"));
    }
    void TearDown() override
    {
        bus_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("kwin-test"));
        CWaylandSession::TearDown();
        kwin.vStop(1000);
    }

    // KWin reports its XWayland display through a program it starts.
    bool bStartKWin()
    {
        const fs::path bin = dir.Root() / "kwin-bin";
        fs::create_directories(bin);
        // The installed binary carries a file capability this kind of
        // container refuses to run; KWin wants its own name.
        fs::copy_file(kKWin, bin / "kwin_wayland");
        const fs::path report = dir.Root() / "report-display";
        std::ofstream(report) << "#!/bin/sh\nprintf '%s\\n' \"$DISPLAY\" > " << (dir.LogDir() / "display.tmp").string()
                              << " && mv " << (dir.LogDir() / "display.tmp").string() << ' '
                              << (dir.LogDir() / "display").string() << "\n";
        fs::permissions(report, fs::perms::owner_all);
        kwinRuntime = dir.Root() / "kwin-run";
        fs::create_directories(kwinRuntime);
        fs::permissions(kwinRuntime, fs::perms::owner_all);
        strSocket = (kwinRuntime / "wayland-test").string();
        if (!kwin.bStart({(bin / "kwin_wayland").string(), "--virtual", "--xwayland", "--width", "1280", "--height",
                             "800", "--socket", "wayland-test", "--no-lockscreen", report.string()},
                {"XDG_RUNTIME_DIR=" + kwinRuntime.string(), "DBUS_SESSION_BUS_ADDRESS=" + strBusAddress,
                    "HOME=" + dir.Home().string(), "XDG_CONFIG_HOME=" + dir.ConfigHome().string(),
                    "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1", "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1",
                    "QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=", "DISPLAY="},
                (dir.LogDir() / "kwin.log").string()))
            return false;
        if (nWaitForText(dir.LogDir() / "display", {"\n"}) == std::string::npos)
            return false;
        strDisplay = strRead(dir.LogDir() / "display");
        strDisplay.pop_back();
        return !strDisplay.empty();
    }

    std::vector<std::string> SessionEnv() const
    {
        return {"WAYLAND_DISPLAY=" + strSocket, "DISPLAY=" + strDisplay, "WAYLAND_DEBUG=client"};
    }

    bool bScriptLoaded(const char* szName = "lumicue")
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
            QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("isScriptLoaded"));
        call.setArguments({QString::fromLatin1(szName)});
        const QDBusMessage reply = bus_->call(call, QDBus::Block, 5000);
        return !reply.arguments().isEmpty() && reply.arguments().constFirst().toBool();
    }

    // The screen's colour at a point, through KWin's screenshot service.
    QRgb Pixel(int x, int y)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return 0;
        // The message holds a duplicate of the pipe's write end: it must be
        // gone before the read can see the end of the data.
        const QDBusMessage reply = [&] {
            QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin.ScreenShot2"),
                QStringLiteral("/org/kde/KWin/ScreenShot2"), QStringLiteral("org.kde.KWin.ScreenShot2"),
                QStringLiteral("CaptureArea"));
            call.setArguments({x, y, 1u, 1u, QVariantMap{}, QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]))});
            return bus_->call(call, QDBus::Block, 5000);
        }();
        close(fds[1]);
        QByteArray bytes;
        char buf[256];
        ssize_t n;
        while ((n = read(fds[0], buf, sizeof buf)) > 0)
            bytes.append(buf, n);
        close(fds[0]);
        if (reply.arguments().isEmpty() || bytes.size() < 4)
            return 0;
        const QVariantMap results = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        const auto format = static_cast<QImage::Format>(results.value(QStringLiteral("format")).toInt());
        const QImage image(reinterpret_cast<const uchar*>(bytes.constData()), 1, 1,
            results.value(QStringLiteral("stride")).toInt(), format);
        return image.pixel(0, 0);
    }

    // KWin answers a screenshot from the next frame it paints, so each try
    // waits for a frame: one that may still have been painted before KWin read
    // the program's last commit, then one that comes after it.
    template <class Pred> bool bPixelBecomes(int x, int y, Pred pred)
    {
        const CDeadline deadline = CDeadline::Seconds(10);
        while (!deadline.bExpired())
            if (pred(Pixel(x, y)))
                return true;
        return false;
    }

    // The program's next commit of the overlay at the margins that put the
    // hot spot on (x, y); from and past the offset in its log.
    bool bCommittedAt(CChildProcess& program, int x, int y, std::size_t& nFrom)
    {
        const std::string margin = "set_margin(" + std::to_string(y - kHotSpot) + ", 0, 0, "
            + std::to_string(x - kHotSpot) + ")";
        const std::size_t at = nWaitForText(program.strLogPath(), {margin, "wl_surface@", ".commit()"}, nFrom);
        if (at == std::string::npos)
            return false;
        nFrom = at;
        return true;
    }

    // A plain X11 window (through XWayland), managed by KWin, at the place
    // it asks for.
    Window OpenX11Window(Display* xdpy, int x, int y, int w, int h)
    {
        XSetWindowAttributes a{};
        a.background_pixel = 0x0000FF;
        const Window win = XCreateWindow(xdpy, DefaultRootWindow(xdpy), x, y, w, h, 0, CopyFromParent, InputOutput,
            CopyFromParent, CWBackPixel, &a);
        XSizeHints hints{};
        hints.flags = USPosition | USSize;
        hints.x = x;
        hints.y = y;
        hints.width = w;
        hints.height = h;
        XSetWMNormalHints(xdpy, win, &hints);
        XMapRaised(xdpy, win);
        XSync(xdpy, False);
        return win;
    }

    CChildProcess kwin;
    fs::path kwinRuntime;
    std::string strSocket;
    std::string strDisplay;
    std::unique_ptr<QDBusConnection> bus_;
    CFakeInput input;
};

bool bIsRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
bool bIsGreen(QRgb c) { return qRed(c) < 60 && qGreen(c) > 200 && qBlue(c) < 60; }
bool bIsBlue(QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) > 200; }

TEST_F(KWinTest, FollowsThePointerOverNativeAndX11WindowsAndCleansUpItsScript)
{
    ASSERT_TRUE(bWritePictureAndOptions());
    // A native window over the whole screen that logs the presses it gets.
    const fs::path clicks = dir.LogDir() / "clicks";
    CChildProcess native;
    ASSERT_TRUE(native.bStart({"gjs", LUMICUE_SOURCE_DIR "/tests/wayland/click-window.js", clicks.string()},
        {"WAYLAND_DISPLAY=" + strSocket, "XDG_RUNTIME_DIR=" + kwinRuntime.string(), "HOME=" + dir.Home().string(),
            "GDK_BACKEND=wayland", "GSK_RENDERER=cairo", "DISPLAY=", "DBUS_SESSION_BUS_ADDRESS=" + strBusAddress},
        (dir.LogDir() / "native.log").string()));
    ASSERT_TRUE(bPixelBecomes(640, 400, bIsGreen)) << "the native window did not show";

    CChildProcess& program = Launch({}, SessionEnv());
    // Started: the script loaded and F8 registered through it.
    std::size_t nBus = nWaitForText(monitorLog, {"member=HotKeyRegistered", "string \"F8\""});
    ASSERT_NE(nBus, std::string::npos);
    ASSERT_TRUE(bScriptLoaded());
    EXPECT_FALSE(bScriptLoaded("lumicue-follow")) << "a hidden picture needs no positions";

    input.vMoveTo(400, 300);
    input.vKey(KEY_F8);
    std::size_t nLog = 0;
    ASSERT_TRUE(bCommittedAt(program, 400, 300, nLog)) << "F8 did not show the picture at the pointer";
    EXPECT_TRUE(bPixelBecomes(400, 300, bIsRed));
    EXPECT_TRUE(bPixelBecomes(400 - kHotSpot, 300 - kHotSpot, bIsRed));

    // Over an XWayland window.
    Display* xdpy = XOpenDisplay(strDisplay.c_str());
    ASSERT_NE(xdpy, nullptr);
    OpenX11Window(xdpy, 800, 100, 300, 300);
    ASSERT_TRUE(bPixelBecomes(1090, 390, bIsBlue)) << "the X11 window did not show";
    input.vMoveTo(950, 250);
    ASSERT_TRUE(bCommittedAt(program, 950, 250, nLog));
    EXPECT_TRUE(bPixelBecomes(950, 250, bIsRed));
    EXPECT_TRUE(bPixelBecomes(1090, 390, bIsBlue)); // the X11 window beside it
    EXPECT_TRUE(bPixelBecomes(400, 300, bIsGreen)); // the old place

    // By the screen's corner the picture runs off it (negative margins).
    input.vMoveTo(10, 10);
    ASSERT_TRUE(bCommittedAt(program, 10, 10, nLog));
    EXPECT_TRUE(bPixelBecomes(0, 0, bIsRed));
    EXPECT_TRUE(bPixelBecomes(10 + kHotSpot - 2, 10 + kHotSpot - 2, bIsRed));

    // Back over the native window: a press under the picture reaches it there.
    input.vMoveTo(300, 500);
    ASSERT_TRUE(bCommittedAt(program, 300, 500, nLog));
    EXPECT_TRUE(bPixelBecomes(300, 500, bIsRed));
    input.vClick();
    EXPECT_NE(nWaitForText(clicks, {"press 300 500\n"}), std::string::npos)
        << "the press did not reach the native window under the picture";

    // F8 hides: the surface goes, the window shows again.
    input.vKey(KEY_F8);
    ASSERT_NE(nWaitForText(program.strLogPath(), {"zwlr_layer_surface_v1@", ".destroy()"}, nLog), std::string::npos);
    EXPECT_TRUE(bPixelBecomes(300, 500, bIsGreen));
    EXPECT_FALSE(bScriptLoaded("lumicue-follow"));
    XCloseDisplay(xdpy);

    // A killed run leaves its script loaded; the next start replaces it.
    program.vSignalGroup(SIGKILL);
    nWaitExit(program);
    EXPECT_TRUE(bScriptLoaded());
    CChildProcess& second = Launch({}, SessionEnv());
    nBus = nWaitForText(monitorLog, {"member=unloadScript", "member=loadScript", "member=HotKeyRegistered",
                                        "string \"F8\""}, nBus);
    ASSERT_NE(nBus, std::string::npos);
    input.vMoveTo(640, 400);
    input.vKey(KEY_F8);
    std::size_t nSecondLog = 0;
    EXPECT_TRUE(bCommittedAt(second, 640, 400, nSecondLog));
    EXPECT_TRUE(bPixelBecomes(640, 400, bIsRed));

    // /u ends the program, and its script with it.
    EXPECT_EQ(nWaitExit(Launch({"/u"}, SessionEnv())), 0);
    EXPECT_EQ(nWaitExit(second), 0);
    EXPECT_FALSE(bScriptLoaded());
    EXPECT_FALSE(bScriptLoaded("lumicue-follow"));
    EXPECT_TRUE(bPixelBecomes(640, 400, bIsGreen));
    native.vStop();
}

} // namespace
