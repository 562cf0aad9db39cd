// The GNOME route on a headless GNOME Shell 43: with the extension enabled,
// the whole user path (hotkey, following over a native and an XWayland
// window, clicks through the picture, the top-bar menu, /u); without it, no
// overlay, clicks that work and a message that says what to enable.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "TestDirectory.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QEventLoop>
#include <QFileSystemWatcher>
#include <QImage>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const QString kExt = QStringLiteral("example.lumicue.Shell");
const QString kExtPath = QStringLiteral("/example/lumicue/Shell");
const QString kRd = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
// evdev codes
constexpr uint KEY_ENTER = 28, KEY_LEFTSHIFT = 42, KEY_F8 = 66, KEY_DOWN = 108;
constexpr int BTN_LEFT = 0x110;

// Lines a child writes to a pipe, read with a deadline.
class CLinePipe {
public:
    CLinePipe() { EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0); }
    ~CLinePipe() { vClose(); }
    int WriteEnd() const { return fds[1]; }
    void vCloseWriteEnd() { if (fds[1] >= 0) close(fds[1]); fds[1] = -1; }
    void vClose() { vCloseWriteEnd(); if (fds[0] >= 0) close(fds[0]); fds[0] = -1; }
    // The next line that starts with prefix; empty at the deadline or the end.
    std::string Wait(const std::string& prefix, int nSeconds = 30)
    {
        const CDeadline deadline = CDeadline::Seconds(nSeconds);
        for (;;) {
            for (size_t nl; (nl = buffer.find('\n')) != std::string::npos;) {
                std::string line = buffer.substr(0, nl);
                buffer.erase(0, nl + 1);
                if (line.rfind(prefix, 0) == 0)
                    return line;
            }
            pollfd pfd{fds[0], POLLIN, 0};
            if (poll(&pfd, 1, deadline.nRemainingMs()) <= 0)
                return {};
            char chunk[512];
            const ssize_t n = read(fds[0], chunk, sizeof chunk);
            if (n <= 0)
                return {};
            buffer.append(chunk, static_cast<size_t>(n));
        }
    }

private:
    int fds[2] = {-1, -1};
    std::string buffer;
};

} // namespace

// Wakes a local event loop when a D-Bus signal arrives.
class CSignalWaiter : public QObject {
    Q_OBJECT
public:
    // Runs until cond holds, checked at each signal; false at the deadline.
    bool bWait(const std::function<bool()>& cond, int nSeconds = 30)
    {
        const CDeadline deadline = CDeadline::Seconds(nSeconds);
        while (!cond()) {
            if (deadline.bExpired())
                return false;
            QEventLoop loop;
            pLoop = &loop;
            QTimer::singleShot(deadline.nRemainingMs(), &loop, &QEventLoop::quit);
            loop.exec();
            pLoop = nullptr;
        }
        return true;
    }
public slots:
    void vPing() { if (pLoop) pLoop->quit(); }
private:
    QEventLoop* pLoop = nullptr;
};

class GnomeShellTest : public ::testing::Test {
protected:
    struct SState { bool bShown = false; int x = 0, y = 0, w = 0, h = 0; };
    struct SSession { QString strAccel; bool bIndicator = false; int ix = 0, iy = 0; bool bMenuOpen = false; };

    void StartShell(bool bExtension)
    {
        ASSERT_TRUE(dir.bCreate(true));
        fs::create_directories(dir.Home() / ".local/share");
        base = {"HOME=" + dir.Home().string(), "XDG_CONFIG_HOME=" + dir.ConfigHome().string(),
                "XDG_DATA_HOME=" + (dir.Home() / ".local/share").string(),
                "XDG_CACHE_HOME=" + (dir.Home() / ".cache").string(), "XDG_RUNTIME_DIR=" + dir.RuntimeDir().string(),
                "LANG=C.UTF-8", "DISPLAY=", "WAYLAND_DISPLAY=", "DBUS_SESSION_BUS_ADDRESS="};
        std::vector<std::string> argv = {LUMICUE_SOURCE_DIR "/tests/support/headless-gnome-shell"};
        if (bExtension)
            argv.insert(argv.end(), {"--extension", LUMICUE_GNOME_EXTENSION_DIR});
        CLinePipe envPipe;
        argv.insert(argv.end(), {"lumicue-test", std::to_string(envPipe.WriteEnd())});
        CChildProcess::Options options{argv, CChildProcess::MergedEnvironment(base),
                                       (dir.LogDir() / "shell-session.log").string(), envPipe.WriteEnd()};
        ASSERT_TRUE(shell.bStart(options));
        envPipe.vCloseWriteEnd();
        const std::string kBusVar = "DBUS_SESSION_BUS_ADDRESS=";
        std::string strBus;
        for (std::string line; !(line = envPipe.Wait("", 90)).empty(); base.push_back(line))
            if (line.rfind(kBusVar, 0) == 0)
                strBus = line.substr(kBusVar.size());
        ASSERT_FALSE(strBus.empty()) << shell.strLogText();
        bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(strBus), QStringLiteral("gnome-shell-test")));
        ASSERT_TRUE(bus->isConnected());
        for (const char* name : {"StateChanged", "MenuCommand"})
            bus->connect(kExt, kExtPath, kExt, QString::fromLatin1(name), &waiter, SLOT(vPing()));
        // The shell's screenshot service answers the screenshot tool by name.
        ASSERT_TRUE(bus->registerService(QStringLiteral("org.gnome.Screenshot")));
        ASSERT_NO_FATAL_FAILURE(StartInput());
        ASSERT_NO_FATAL_FAILURE(LeaveOverview());
    }

    // The shell has started in the Overview: leave it, woken by the
    // property's change signal.
    void LeaveOverview()
    {
        const QString name = QStringLiteral("org.gnome.Shell"), path = QStringLiteral("/org/gnome/Shell");
        const QString props = QStringLiteral("org.freedesktop.DBus.Properties");
        bus->connect(name, path, props, QStringLiteral("PropertiesChanged"), &waiter, SLOT(vPing()));
        Call(name, path, props, QStringLiteral("Set"),
             {name, QStringLiteral("OverviewActive"), QVariant::fromValue(QDBusVariant(false))});
        ASSERT_TRUE(waiter.bWait([&] {
            const QList<QVariant> a = Call(name, path, props, QStringLiteral("Get"),
                                           {name, QStringLiteral("OverviewActive")}).arguments();
            return !a.isEmpty() && !qvariant_cast<QDBusVariant>(a.first()).variant().toBool();
        }));
    }

    void TearDown() override
    {
        for (CChildProcess* p : {&program, &native, &xwin})
            p->vStop(500);
        if (bus)
            QDBusConnection::disconnectFromBus(QStringLiteral("gnome-shell-test"));
        bus.reset();
        shell.vStop(1000);
        if (HasFailure())
            std::cerr << "--- program\n" << program.strLogText() << ProgramLog() << "--- shell\n" << ShellLog() << std::endl;
        dir.vRemove();
    }

    std::string ShellLog() const
    {
        std::ifstream in(dir.RuntimeDir() / "gnome-shell.log");
        return {std::istreambuf_iterator<char>(in), {}};
    }

    QDBusMessage Call(const QString& service, const QString& path, const QString& iface, const QString& method,
                      const QList<QVariant>& args = {})
    {
        QDBusMessage msg = QDBusMessage::createMethodCall(service, path, iface, method);
        msg.setArguments(args);
        QDBusMessage reply = bus->call(msg, QDBus::Block, 20000);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method.toStdString() << ": "
                                                             << reply.errorMessage().toStdString();
        return reply;
    }
    QList<QVariant> Ext(const QString& method) { return Call(kExt, kExtPath, kExt, method).arguments(); }
    SState State()
    {
        const QList<QVariant> a = Ext(QStringLiteral("State"));
        if (a.size() < 5)
            return {};
        return {a[0].toBool(), a[1].toInt(), a[2].toInt(), a[3].toInt(), a[4].toInt()};
    }
    SSession Session()
    {
        const QList<QVariant> a = Ext(QStringLiteral("Session"));
        if (a.size() < 5)
            return {};
        return {a[0].toString(), a[1].toBool(), a[2].toInt(), a[3].toInt(), a[4].toBool()};
    }
    std::pair<int, int> Pointer()
    {
        const QList<QVariant> a = Ext(QStringLiteral("Pointer"));
        return a.size() == 2 ? std::pair{a[0].toInt(), a[1].toInt()} : std::pair{-1, -1};
    }

    // RemoteDesktop: relative motion, buttons and keys.
    void StartInput()
    {
        const QDBusMessage r = Call(kRd, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), kRd,
                                    QStringLiteral("CreateSession"));
        ASSERT_FALSE(r.arguments().isEmpty());
        rdSession = qvariant_cast<QDBusObjectPath>(r.arguments().first()).path();
        Rd(QStringLiteral("Start"));
        Key(KEY_LEFTSHIFT); // the first key of a session is lost
    }
    void Rd(const QString& method, const QList<QVariant>& args = {})
    {
        Call(kRd, rdSession, kRd + QStringLiteral(".Session"), method, args);
    }
    void Key(uint code)
    {
        Rd(QStringLiteral("NotifyKeyboardKeycode"), {code, true});
        Rd(QStringLiteral("NotifyKeyboardKeycode"), {code, false});
    }
    // From the bottom-right corner of the 1280 x 800 screen (where a far
    // move ends; the top-left one would open the Overview) to x, y.
    void MoveTo(int x, int y)
    {
        Rd(QStringLiteral("NotifyPointerMotionRelative"), {5000.0, 5000.0});
        Rd(QStringLiteral("NotifyPointerMotionRelative"), {double(x - 1279), double(y - 799)});
    }
    void Click()
    {
        Rd(QStringLiteral("NotifyPointerButton"), {BTN_LEFT, true});
        Rd(QStringLiteral("NotifyPointerButton"), {BTN_LEFT, false});
    }

    // A GTK window on the given backend; its pipe reports map, motion, press.
    void StartWindow(CChildProcess& process, CLinePipe& lines, const char* backend, const char* title,
                     std::vector<std::string> extra = {})
    {
        std::vector<std::string> argv = {"gjs", LUMICUE_SOURCE_DIR "/tests/gnome/click-window.js",
                                         std::to_string(lines.WriteEnd()), title, "320", "240"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        std::vector<std::string> env = base;
        env.push_back(std::string("GDK_BACKEND=") + backend);
        CChildProcess::Options options{argv, CChildProcess::MergedEnvironment(env),
                                       (dir.LogDir() / (std::string(title) + ".log")).string(), lines.WriteEnd()};
        ASSERT_TRUE(process.bStart(options));
        lines.vCloseWriteEnd();
    }

    int RunProgram(const std::vector<std::string>& args, CChildProcess* background = nullptr)
    {
        std::vector<std::string> argv = {dir.ProgramPath().string()};
        argv.insert(argv.end(), args.begin(), args.end());
        CChildProcess one;
        CChildProcess& p = background ? *background : one;
        CChildProcess::Options options{argv, CChildProcess::MergedEnvironment(base),
            (dir.LogDir() / (background ? "lumicue.log" : "lumicue-request.log")).string(), -1};
        EXPECT_TRUE(p.bStart(options));
        if (background)
            return 0;
        EXPECT_TRUE(p.bWaitExit(CDeadline::Seconds(15)));
        lastOutput = p.strLogText();
        return p.nExitCode();
    }

    // The picture's pixels differ from what lies under them without it.
    QImage Shot(int x, int y, int w, int h)
    {
        const QString file = QString::fromStdString((dir.Root() / "shot.png").string());
        Call(QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("/org/gnome/Shell/Screenshot"),
             QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("ScreenshotArea"),
             {x, y, w, h, false, file});
        return QImage(file);
    }

    std::string ProgramLog() const
    {
        std::string text;
        std::error_code ec;
        if (!fs::is_directory(dir.DataDir() / "Log", ec))
            return text;
        for (const auto& e : fs::directory_iterator(dir.DataDir() / "Log")) {
            std::ifstream in(e.path());
            text += std::string(std::istreambuf_iterator<char>(in), {});
        }
        return text;
    }

    // Waits until the program's log holds text, woken by the watcher (inotify)
    // on the folders down to the log folder and its files as they appear.
    bool bWaitForLog(const std::string& text, int nSeconds = 30)
    {
        QFileSystemWatcher watcher;
        QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &waiter, &CSignalWaiter::vPing);
        QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, &waiter, &CSignalWaiter::vPing);
        return waiter.bWait([&] {
            std::vector<fs::path> paths = {dir.ConfigHome(), dir.DataDir(), dir.DataDir() / "Log"};
            std::error_code ec;
            for (const auto& e : fs::directory_iterator(dir.DataDir() / "Log", ec))
                paths.push_back(e.path());
            for (const fs::path& p : paths)
                if (fs::exists(p, ec))
                    watcher.addPath(QString::fromStdString(p.string()));
            return ProgramLog().find(text) != std::string::npos;
        }, nSeconds);
    }

    CTestDirectory dir;
    CChildProcess shell, program, native, xwin;
    std::vector<std::string> base;
    std::unique_ptr<QDBusConnection> bus;
    QString rdSession;
    CSignalWaiter waiter;
    std::string lastOutput;
};

TEST_F(GnomeShellTest, ExtensionDrawsFollowsAndCarriesTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartShell(true));
    CLinePipe nativeLines, xLines;
    StartWindow(native, nativeLines, "wayland", "native", {"maximized"});
    ASSERT_FALSE(nativeLines.Wait("mapped").empty());
    StartWindow(xwin, xLines, "x11", "xwayland", {"above"});
    const std::string mapped = xLines.Wait("mapped");
    ASSERT_FALSE(mapped.empty());
    int xwinX = 0, xwinY = 0;
    std::istringstream(mapped.substr(7)) >> xwinX >> xwinY;

    RunProgram({"/m"}, &program);
    // Ready once it holds its hotkey in the shell and its icon is in the top bar.
    ASSERT_TRUE(waiter.bWait([&] { SSession s = Session(); return s.strAccel == "F8" && s.bIndicator; }));

    // Over the native window: F8 shows the picture with its hot spot under the pointer.
    MoveTo(900, 600);
    ASSERT_FALSE(nativeLines.Wait("motion").empty());
    const QImage before = Shot(700, 400, 400, 400);
    Key(KEY_F8);
    ASSERT_TRUE(waiter.bWait([&] { return State().bShown; }));
    SState s = State();
    const auto [px, py] = Pointer();
    EXPECT_EQ(std::pair(px, py), std::pair(900, 600));
    EXPECT_GT(s.w, 0);
    EXPECT_TRUE(px >= s.x && px < s.x + s.w && py >= s.y && py < s.y + s.h);
    // The shell draws the picture at its next frame: each screenshot is a
    // request of its own, so a few of them span the frames it may take.
    QImage after = Shot(700, 400, 400, 400);
    for (int n = 0; n < 20 && !after.isNull()
         && after.copy(s.x - 700, s.y - 400, s.w, s.h) == before.copy(s.x - 700, s.y - 400, s.w, s.h); ++n)
        after = Shot(700, 400, 400, 400);
    ASSERT_FALSE(after.isNull());
    // Drawn exactly where the extension says: changed inside, unchanged outside.
    EXPECT_NE(after.copy(s.x - 700, s.y - 400, s.w, s.h), before.copy(s.x - 700, s.y - 400, s.w, s.h));
    EXPECT_EQ(after.copy(0, 0, 400, std::max(1, s.y - 400)), before.copy(0, 0, 400, std::max(1, s.y - 400)));
    Click();
    EXPECT_FALSE(nativeLines.Wait("press").empty()) << "the click did not pass through the picture";

    // Over the XWayland window.
    const int cx = xwinX + 160, cy = xwinY + 120;
    MoveTo(cx, cy);
    ASSERT_FALSE(xLines.Wait("motion").empty());
    const SState s2 = State();
    EXPECT_EQ(s2.x - s.x, cx - 900);
    EXPECT_EQ(s2.y - s.y, cy - 600);
    Click();
    EXPECT_FALSE(xLines.Wait("press").empty());

    // The top-bar menu: the switch (fourth line: About, site, separator, switch).
    const SSession bar = Session();
    MoveTo(bar.ix, bar.iy);
    Click();
    ASSERT_TRUE(waiter.bWait([&] { return Session().bMenuOpen; }));
    for (int i = 0; i < 3; ++i)
        Key(KEY_DOWN);
    Key(KEY_ENTER);
    ASSERT_TRUE(waiter.bWait([&] { return !State().bShown; }));
    EXPECT_EQ(RunProgram({"--status"}), 0);
    EXPECT_NE(lastOutput.find("off"), std::string::npos);

    // The switch again, then Exit (sixth line) takes everything away.
    Key(KEY_F8);
    ASSERT_TRUE(waiter.bWait([&] { return State().bShown; }));
    MoveTo(bar.ix, bar.iy);
    Click();
    ASSERT_TRUE(waiter.bWait([&] { return Session().bMenuOpen; }));
    for (int i = 0; i < 5; ++i)
        Key(KEY_DOWN);
    Key(KEY_ENTER);
    EXPECT_TRUE(program.bWaitExit(CDeadline::Seconds(15)));
    ASSERT_TRUE(waiter.bWait([&] { const SSession e = Session(); return !State().bShown && !e.bIndicator && e.strAccel.isEmpty(); }));

    // /u: a new run switched on and ended from outside leaves nothing drawn.
    CChildProcess second;
    RunProgram({"/m"}, &second);
    ASSERT_TRUE(waiter.bWait([&] { return Session().strAccel == "F8"; }));
    EXPECT_EQ(RunProgram({"--on"}), 0);
    ASSERT_TRUE(waiter.bWait([&] { return State().bShown; }));
    RunProgram({"/u"});
    EXPECT_TRUE(second.bWaitExit(CDeadline::Seconds(15)));
    EXPECT_TRUE(waiter.bWait([&] { const SSession e = Session(); return !State().bShown && !e.bIndicator; }));
}

TEST_F(GnomeShellTest, WithoutTheExtensionNothingIsDrawnAndTheUserIsTold)
{
    ASSERT_NO_FATAL_FAILURE(StartShell(false));
    CLinePipe nativeLines;
    StartWindow(native, nativeLines, "wayland", "native", {"maximized"});
    ASSERT_FALSE(nativeLines.Wait("mapped").empty());
    RunProgram({"/m"}, &program);
    // Up once it has found that no notification area runs.
    ASSERT_TRUE(bWaitForLog("No notification area runs"));
    EXPECT_EQ(RunProgram({"--toggle"}), 4) << lastOutput;
    EXPECT_NE(lastOutput.find("cannot follow the pointer"), std::string::npos) << lastOutput;
    EXPECT_EQ(RunProgram({"--status"}), 0);
    EXPECT_NE(lastOutput.find("off"), std::string::npos);
    EXPECT_NE(ProgramLog().find("Lumicue cannot follow the pointer on this desktop: its GNOME Shell extension is "
                                "not enabled; run \"gnome-extensions enable lumicue@lumicue.example\""),
              std::string::npos);
    // Nothing of ours over the native window: a click in the middle lands.
    MoveTo(640, 400);
    ASSERT_FALSE(nativeLines.Wait("motion").empty());
    Click();
    EXPECT_FALSE(nativeLines.Wait("press").empty());
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "GnomeShellTest.moc"
