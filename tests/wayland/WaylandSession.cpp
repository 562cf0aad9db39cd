// The Wayland fixture's bus, file tree, waits and program launches.
#include "WaylandSession.h"

#include "OptionRecord.h"
#include "TestPicture.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void CWaylandSession::SetUp()
{
    ASSERT_TRUE(dir.bCreate(false));
}

void CWaylandSession::TearDown()
{
    for (auto& p : programs)
        p->vStop(500);
    if (::testing::Test::HasFailure()) {
        const std::string text = strRead(monitorLog);
        std::fprintf(stderr, "---- session bus, last lines\n%s\n", text.substr(text.size() > 6000 ? text.size() - 6000 : 0).c_str());
        for (auto& p : programs)
            std::fprintf(stderr, "---- %s\n%s\n", p->strLogPath().c_str(), p->strLogText().substr(p->strLogText().size() > 6000 ? p->strLogText().size() - 6000 : 0).c_str());
    }
    programs.clear();
    monitor.vStop();
    bus.vStop();
}

void CWaylandSession::vRemoveThrowAwayUser()
{
    if (strUser.empty())
        return;
    // Helpers the compositor started (Xwayland, swaybg) may outlive it; they go with the user.
    CChildProcess kill;
    if (kill.bStart({"pkill", "-KILL", "-u", strUser}, {}, (dir.LogDir() / "pkill.log").string()))
        kill.bWaitExit(CDeadline::Seconds(10));
    CChildProcess del;
    if (del.bStart({"userdel", "--force", strUser}, {}, (dir.LogDir() / "userdel.log").string()))
        del.bWaitExit(CDeadline::Seconds(10));
    EXPECT_EQ(del.nExitCode(), 0) << "userdel " << strUser << ": " << del.strLogText();
    strUser.clear();
}

bool CWaylandSession::bBecomeThrowAwayUser()
{
    if (geteuid() != 0)
        return true;
    const std::string name = "lumicue-t" + std::to_string(getpid());
    CChildProcess add;
    if (!add.bStart({"useradd", "--system", "--user-group", "--no-create-home", "--home-dir", dir.Home().string(),
                        "--shell", "/usr/sbin/nologin", name},
            {}, (dir.LogDir() / "useradd.log").string())
        || !add.bWaitExit(CDeadline::Seconds(10)) || add.nExitCode() != 0)
        return false;
    strUser = name;
    const passwd* pw = getpwnam(name.c_str());
    if (!pw)
        return false;
    nUserId = pw->pw_uid;
    nGroupId = pw->pw_gid;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir.Root(), ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        bGiveToUser(it->path());
    return !ec && bGiveToUser(dir.Root());
}

bool CWaylandSession::bGiveToUser(const fs::path& path) const
{
    return strUser.empty() || lchown(path.c_str(), nUserId, nGroupId) == 0;
}

std::vector<std::string> CWaylandSession::AsUser(const std::vector<std::string>& argv) const
{
    if (strUser.empty())
        return argv;
    std::vector<std::string> wrapped{"setpriv", "--reuid=" + strUser, "--regid=" + strUser, "--clear-groups", "--"};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

bool CWaylandSession::bStartBus()
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    CChildProcess::Options o;
    o.argv = AsUser({"dbus-daemon", "--session", "--nofork", "--print-address=" + std::to_string(fds[1])});
    o.env = CChildProcess::MergedEnvironment({});
    o.strLogPath = (dir.LogDir() / "bus.log").string();
    o.nKeepFd = fds[1];
    const bool bStarted = bus.bStart(o);
    close(fds[1]);
    // The address is the first line the daemon writes.
    const CDeadline deadline = CDeadline::Seconds(10);
    char buf[512];
    std::string text;
    while (bStarted && text.find('\n') == std::string::npos) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, deadline.nRemainingMs()) <= 0)
            break;
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        text.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (text.find('\n') == std::string::npos)
        return false;
    strBusAddress = text.substr(0, text.find('\n'));
    monitorLog = dir.LogDir() / "monitor.log";
    return monitor.bStart(AsUser({"dbus-monitor", "--address", strBusAddress}), {}, monitorLog.string());
}

std::string CWaylandSession::strRead(const fs::path& file) const
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t CWaylandSession::nWaitForText(const fs::path& file, const std::vector<std::string>& needles,
    std::size_t nFrom, int nSeconds)
{
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return std::string::npos;
    inotify_add_watch(fd, file.parent_path().c_str(), IN_MODIFY | IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO);
    const CDeadline deadline = CDeadline::Seconds(nSeconds);
    std::size_t nAt = std::string::npos;
    for (;;) {
        const std::string text = strRead(file);
        std::size_t at = nFrom;
        bool bAll = true;
        for (const std::string& needle : needles) {
            at = text.find(needle, at);
            if (at == std::string::npos) {
                bAll = false;
                break;
            }
            at += needle.size();
        }
        if (bAll) {
            nAt = at;
            break;
        }
        pollfd p{fd, POLLIN, 0};
        if (deadline.bExpired() || poll(&p, 1, deadline.nRemainingMs()) <= 0)
            break;
        char events[4096];
        while (read(fd, events, sizeof events) > 0) {
        }
    }
    close(fd);
    return nAt;
}

CChildProcess& CWaylandSession::Launch(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    std::vector<std::string> argv{dir.ProgramPath().string()};
    argv.insert(argv.end(), args.begin(), args.end());
    argv = AsUser(argv);
    std::vector<std::string> overrides{
        "HOME=" + dir.Home().string(),
        "XDG_CONFIG_HOME=" + dir.ConfigHome().string(),
        "XDG_RUNTIME_DIR=" + dir.RuntimeDir().string(),
        "XDG_DATA_HOME=" + (dir.Home() / ".local/share").string(),
        "XDG_SESSION_TYPE=wayland",
        "DBUS_SESSION_BUS_ADDRESS=" + strBusAddress,
        "QT_QPA_PLATFORM=",
        "LC_ALL=C.UTF-8",
    };
    overrides.insert(overrides.end(), env.begin(), env.end());
    auto p = std::make_unique<CChildProcess>();
    const std::string log = (dir.LogDir() / ("program" + std::to_string(programs.size()) + ".log")).string();
    p->bStart(argv, overrides, log);
    programs.push_back(std::move(p));
    return *programs.back();
}

int CWaylandSession::nWaitExit(CChildProcess& process, int nSeconds)
{
    return process.bWaitExit(CDeadline::Seconds(nSeconds)) ? process.nExitCode() : -1;
}

bool CWaylandSession::bWritePictureAndOptions()
{
    CTestPicture picture(kPictureSize, kPictureSize, 0xFFFF0000u);
    const fs::path png = dir.PointerDir() / ("red-" + std::to_string(kHotSpot) + ".png");
    COptionRecord options;
    options.nOpacity = 100;
    options.strPointerFile = png.string();
    std::error_code ec;
    fs::create_directories(dir.DataDir(), ec);
    return picture.bWritePng(png.string()) && options.bWrite(dir.OptionFile().string()) && bGiveToUser(dir.DataDir())
        && bGiveToUser(dir.OptionFile());
}
