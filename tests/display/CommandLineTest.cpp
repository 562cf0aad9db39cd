// The command line on a real X server: long options and clear failures that
// need no display, the program installed under a prefix, started with
// toolkit options and controlled with --toggle, --on, --off and --status,
// and the channel those use kept the user's against idle connections and
// another user.
#include "DisplayFixture.h"

#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

class CommandLineTest : public CDisplayFixture {
protected:
    // Starts argv in the test's environment with these changes: "NAME=value"
    // replaces the variable, a bare "NAME" removes it.
    CChildProcess& Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& changes = {})
    {
        CChildProcess::Options start;
        start.argv = argv;
        start.env = ProgramEnvironment({});
        for (const std::string& change : changes) {
            const std::string name = change.substr(0, change.find('=')) + "=";
            std::erase_if(start.env, [&](const std::string& v) { return v.starts_with(name); });
            if (change.find('=') != std::string::npos)
                start.env.push_back(change);
        }
        start.strLogPath = (dir.LogDir() / ("run-" + std::to_string(programs.size() + 1) + ".log")).string();
        programs.push_back(std::make_unique<CChildProcess>());
        EXPECT_TRUE(programs.back()->bStart(start)) << "cannot start " << argv[0];
        return *programs.back();
    }

    // Runs the program to its end; answers the exit code and leaves stdout
    // and stderr in strOutput.
    int nRun(const std::vector<std::string>& args, const std::vector<std::string>& changes = {})
    {
        std::vector<std::string> argv{(installed.empty() ? dir.ProgramPath() : installed).string()};
        argv.insert(argv.end(), args.begin(), args.end());
        CChildProcess& process = Spawn(argv, changes);
        const int nCode = nWaitExit(process);
        strOutput = process.strLogText();
        return nCode;
    }

    std::string strStatus()
    {
        const int nCode = nRun({"--status"});
        return nCode == 0 ? strOutput : "exit " + std::to_string(nCode) + ": " + strOutput;
    }

    bool bOverlayShown(bool bShown)
    {
        return bWaitFor([&] { return (x.FindOverlay() != None) == bShown; });
    }

    std::string strOutput;
    fs::path installed;  // the program to run; empty: the fixture's copy
};

TEST_F(CommandLineTest, LongOptionsAndFailuresNeedNoDisplay)
{
    fs::create_directories(dir.AutostartFile().parent_path());
    std::ofstream(dir.AutostartFile()) << "[Desktop Entry]\n";

    EXPECT_EQ(nRun({"--version"}, {"DISPLAY"}), 0);
    EXPECT_EQ(strOutput, "Lumicue 1.0.0\n");
    EXPECT_EQ(nRun({"/m", "--help"}, {"DISPLAY"}), 0);
    EXPECT_TRUE(strOutput.starts_with("Usage: lumicue")) << strOutput;
    // The switches keep their meaning: "--clean" is no "/clean".
    EXPECT_EQ(nRun({"--clean"}, {"DISPLAY"}), 2);
    EXPECT_NE(strOutput.find("Usage: lumicue"), std::string::npos) << strOutput;
    EXPECT_TRUE(fs::exists(dir.AutostartFile()));

    const std::string strNeeds = "Lumicue needs an X11 display: ";
    EXPECT_EQ(nRun({}, {"DISPLAY"}), 1);
    EXPECT_EQ(strOutput, strNeeds + "DISPLAY is not set\n");
    EXPECT_EQ(nRun({"/m"}, {"DISPLAY", "WAYLAND_DISPLAY=wayland-0"}), 1);
    EXPECT_EQ(strOutput, strNeeds + "this Wayland session has no XWayland (DISPLAY is not set)\n");
    EXPECT_EQ(nRun({}, {"DISPLAY=:4093"}), 1);
    EXPECT_EQ(strOutput, strNeeds + "cannot open display \":4093\"\n");

    EXPECT_EQ(strStatus(), "exit 1: Lumicue is not running; start it first.\n");
    EXPECT_EQ(nRun({"--toggle"}), 1);
    EXPECT_EQ(x.FindWindowByTitle(szMainTitle), None) << "nothing may be left running";
}

TEST_F(CommandLineTest, InstalledProgramRunsFromItsPrefixAndObeysTheControlOptions)
{
    // Its own component manifest, so that the packaging check may install
    // from the same build at the same time.
    const fs::path prefix = dir.Root() / "usr";
    const fs::path build = fs::path(LUMICUE_PROGRAM).parent_path();
    CChildProcess& install = Spawn({"cmake", "--install", build.string(), "--prefix", prefix.string(),
                                    "--component", "Unspecified"});
    ASSERT_EQ(nWaitExit(install, 60), 0) << install.strLogText();
    installed = prefix / "bin" / "lumicue";
    // No option file: a first start takes the first installed picture.
    fs::remove(dir.OptionFile());

    // The toolkit's own options are the user's words, never the toolkit's:
    // it would abort on this display and this platform.
    CChildProcess& first = Spawn({installed.string(), "/m", "-display", ":77", "-platform", "none"},
                                 {"LANG=de_DE.UTF-8"});
    Window w = None;
    ASSERT_TRUE(bWaitFor([&] {
        w = x.FindWindowByTitle(szMainTitle, first.Pid());
        return (w != None && x.bSeenUnmapped(w)) || first.bExited();
    }));
    ASSERT_FALSE(first.bExited()) << first.strLogText();

    EXPECT_EQ(strStatus(), "off\n");
    EXPECT_EQ(nRun({"--on"}), 0);
    EXPECT_TRUE(bOverlayShown(true)) << "--on showed no picture: none found in share/lumicue/pointer";
    EXPECT_EQ(nRun({"--on"}), 0);
    EXPECT_EQ(strStatus(), "on\n") << "--on must leave a pointer that is on alone";
    EXPECT_EQ(nRun({"--toggle"}), 0);
    EXPECT_TRUE(bOverlayShown(false)) << "--toggle left the overlay";
    EXPECT_EQ(nRun({"--off"}), 0);
    EXPECT_EQ(strStatus(), "off\n");
    EXPECT_EQ(nRun({"--toggle"}), 0);
    EXPECT_TRUE(bOverlayShown(true));
    EXPECT_EQ(nRun({"--off"}), 0);
    EXPECT_TRUE(bOverlayShown(false));
    EXPECT_EQ(nRun({"/u"}), 0);
    EXPECT_EQ(nWaitExit(first), 0);

    // The German language file was found in share/lumicue/Language.
    std::ifstream config(dir.DataDir() / "Config.ini");
    const std::string text((std::istreambuf_iterator<char>(config)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Language=1031"), std::string::npos) << text;
}

namespace {

constexpr const char* kInstance = "LUMICUE-46E5F037-5C31-4fbf-8265-2F0AA7A4A547";

std::string Sha256Hex(const std::string& text)
{
    std::string out(64, '\0');
    FILE* pipe = popen(("printf %s '" + text + "' | sha256sum").c_str(), "r");
    out.resize(pipe ? fread(out.data(), 1, out.size(), pipe) : 0);
    if (pipe)
        pclose(pipe);
    return out;
}

int Socket(const std::string& name, bool bBind)
{
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::memcpy(a.sun_path, name.data(), std::min(name.size(), sizeof a.sun_path - 1));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const auto n = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    if (bBind ? bind(fd, reinterpret_cast<sockaddr*>(&a), n) == 0 && listen(fd, 1) == 0
              : connect(fd, reinterpret_cast<sockaddr*>(&a), n) == 0)
        return fd;
    close(fd);
    return -1;
}

} // namespace

TEST_F(CommandLineTest, TheChannelStaysTheUsersWithIdleConnectionsAndASquattingUser)
{
    // Another user (a free user id) first binds every channel name it can
    // work out from our user, our folders and the instance name.
    CChildProcess squatter;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    if (getuid() == 0) {
        uid_t uid = 61000;
        while (getpwuid(uid))
            ++uid;
        ASSERT_TRUE(squatter.bStartFunction([&] {
            std::vector<std::string> names;
            for (const fs::path& folder : {dir.RuntimeDir(), dir.Home() / ".cache/lumicue"}) {
                names.push_back(std::string(1, '\0') + "lumicue-0-" + Sha256Hex(folder.string() + "/" + kInstance).substr(0, 32));
                names.push_back(folder / ("lumicue-" + Sha256Hex(kInstance).substr(0, 16) + ".sock"));
            }
            if (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0)
                return 1;
            for (const std::string& name : names)
                Socket(name, true);
            (void)!write(ready[1], "r", 1);
            pause();
            return 0;
        }, (dir.LogDir() / "squatter.log").string()));
        pollfd p{ready[0], POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 10000), 1) << "the squatter did not bind";
    } else {
        std::cout << "no squatting user: the test does not run as root\n";
    }
    CChildProcess* first = nullptr;
    ASSERT_NE(StartMainWindow(&first), None);
    EXPECT_EQ(strStatus(), "off\n");

    // A thousand connections that never send a byte.
    std::string socket;
    for (const auto& entry : fs::directory_iterator(dir.RuntimeDir()))
        socket = entry.is_socket() ? entry.path().string() : socket;
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    rlimit more{std::min<rlim_t>(saved.rlim_max, 4096), saved.rlim_max};
    setrlimit(RLIMIT_NOFILE, &more);
    std::vector<int> idle;
    for (int i = 0; i < 1000; ++i)
        idle.push_back(Socket(socket, false));
    EXPECT_EQ(std::count(idle.begin(), idle.end(), -1), 0);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(strStatus(), "off\n");
    const auto nMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    std::cout << "--status with 1,000 idle connections open: " << nMs << " ms, start of the command included\n";
    EXPECT_LT(nMs, 2000);
    EXPECT_EQ(nRun({"--on"}), 0);
    EXPECT_EQ(strStatus(), "on\n");
    for (int fd : idle)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &saved);

    // Running but not answering is not "not running".
    kill(first->Pid(), SIGSTOP);
    EXPECT_EQ(strStatus(), "exit 3: Lumicue is running but does not answer\n");
    kill(first->Pid(), SIGCONT);
    EXPECT_EQ(nRun({"/u"}), 0);
    EXPECT_EQ(nWaitExit(*first), 0);
    EXPECT_EQ(strStatus(), "exit 1: Lumicue is not running; start it first.\n");
}
