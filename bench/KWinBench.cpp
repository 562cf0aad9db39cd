// Lumicue on a headless KWin: how soon the overlay is committed at the
// pointer's new place after a fake-input motion, what following costs
// Lumicue and KWin per 1000 motions against the same motions with Lumicue
// absent and with its pointer off, and what Lumicue costs at rest.
//
// Each run starts a private session bus, a headless KWin (a copy of the
// binary: the installed one carries a file capability some containers refuse
// to run) and Lumicue, whose Wayland connections go through a tap that times
// each commit of the overlay's margins. Motions come from KWin's fake-input
// protocol on the benchmark's own connection.
#include "harness/Clock.h"
#include "harness/LumicueHome.h"
#include "harness/ProcStats.h"
#include "harness/Stats.h"
#include "harness/WaylandTap.h"

#include "ChildProcess.h"

#include "FakeInput.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* const kKWin = "/usr/bin/kwin_wayland";
constexpr int kWidth = 1280, kHeight = 800;
constexpr long long kMs = 1000000;

struct SOptions {
    std::string strLumicue;
    int nRuns = 3;
    int nMotions = 500;       // one at a time
    int nPaced = 2000;        // per paced phase
    int nRate = 500;          // Hz
    int nIdleSeconds = 10;
    int nDeadlineMs = 250;
    bool bKeep = false;
};

struct SRun {
    bool bOk = false;
    std::string strWhy;
    double dDelayMedianUs = -1, dDelayP90Us = -1;      // one at a time
    double dPacedMedianUs = -1, dPacedP90Us = -1;      // at the rate
    int nUnfollowed = 0;
    double dKWinAbsentMs = 0, dKWinOffMs = 0, dKWinOnMs = 0; // per 1000 motions
    double dLumicueOffMs = 0, dLumicueOnMs = 0;
    double dRestCpuMs = 0, dKWinRestCpuMs = 0;
    long long nRestWakeups = 0;
};

// Waits until the file holds the needle, woken by inotify on its folder.
bool bWaitForText(const fs::path& file, const std::string& needle, long long nDeadlineNs)
{
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return false;
    inotify_add_watch(fd, file.parent_path().c_str(), IN_MODIFY | IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO);
    bool bFound = false;
    for (;;) {
        std::ifstream in(file);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (text.find(needle) != std::string::npos) {
            bFound = true;
            break;
        }
        const long long left = nDeadlineNs - NowNs();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left / kMs) + 1) <= 0)
            break;
        char events[4096];
        while (read(fd, events, sizeof events) > 0) {
        }
    }
    close(fd);
    return bFound;
}

// A walk over the screen's middle that repeats no position for 646,321 steps
// (steps coprime to the ranges), so a late commit never passes for a new one.
struct SWalk {
    long long k = 0;
    void vNext(int& x, int& y)
    {
        ++k;
        x = 100 + static_cast<int>((k * 37) % 1079);
        y = 100 + static_cast<int>((k * 23) % 599);
    }
};

class CKWinRun {
public:
    explicit CKWinRun(const SOptions& o) : opt(o) {}
    ~CKWinRun()
    {
        tap.vStop();
        for (CChildProcess* p : {&lumicue, &monitor, &kwin, &bus})
            p->vStop(1000);
        if (!opt.bKeep && !strRoot.empty()) {
            std::error_code ec;
            fs::remove_all(strRoot, ec);
        }
    }
    SRun Run();

private:
    bool bFail(const std::string& why)
    {
        result.strWhy = why;
        opt.bKeep = true;
        return false;
    }
    bool bStartSession();
    bool bStartLumicue();
    // Motions at the rate; with bMatch, each timed to the first commit at its
    // place or a later one's. CPU of KWin and Lumicue per 1000 motions.
    void vPaced(bool bMatch, double& dKWinMs, double& dLumicueMs);
    void vOneAtATime();
    // Until KWin and Lumicue have worked off what they were sent: less than
    // 1 ms of CPU between them over 100 ms (a measuring window, not an event).
    void vWaitQuiet();
    void vRest();
    // Commits from the tap until the deadline or one at (x, y); its time or 0.
    long long nWaitCommitAt(int x, int y, long long nDeadlineNs);

    SOptions opt;
    SRun result;
    std::string strRoot;
    std::string strSocket;
    std::string strDisplay;
    std::string strBus;
    CChildProcess bus, monitor, kwin, lumicue;
    CWaylandTap tap;
    CFakeInput input;
    SWalk walk;
    int nHotX = 0, nHotY = 0;
    int nLastX = 0, nLastY = 0;
};

bool CKWinRun::bStartSession()
{
    char tmpl[] = "/tmp/lumicue-kwinbench-XXXXXX";
    if (!mkdtemp(tmpl))
        return bFail("mkdtemp");
    strRoot = tmpl;
    const fs::path root = strRoot;
    // The bus: its address is the first line it writes.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return bFail("pipe");
    CChildProcess::Options b;
    b.argv = {"dbus-daemon", "--session", "--nofork", "--print-address=" + std::to_string(fds[1])};
    b.env = CChildProcess::MergedEnvironment({});
    b.strLogPath = (root / "bus.log").string();
    b.nKeepFd = fds[1];
    const bool bBus = bus.bStart(b);
    close(fds[1]);
    char buf[512];
    pollfd p{fds[0], POLLIN, 0};
    const ssize_t n = bBus && poll(&p, 1, 10000) > 0 ? read(fds[0], buf, sizeof buf - 1) : -1;
    close(fds[0]);
    if (n <= 0)
        return bFail("dbus-daemon did not start");
    strBus.assign(buf, static_cast<size_t>(n));
    strBus = strBus.substr(0, strBus.find('\n'));

    const fs::path bin = root / "kwin-bin";
    const fs::path run = root / "kwin-run";
    fs::create_directories(bin);
    fs::create_directories(run);
    fs::permissions(run, fs::perms::owner_all);
    std::error_code ec;
    fs::copy_file(kKWin, bin / "kwin_wayland", ec);
    const fs::path report = root / "report-display";
    std::ofstream(report) << "#!/bin/sh\nprintf '%s\\n' \"$DISPLAY\" > " << (root / "d.tmp").string() << " && mv "
                          << (root / "d.tmp").string() << ' ' << (root / "display").string() << "\n";
    fs::permissions(report, fs::perms::owner_all);
    strSocket = (run / "wayland-bench").string();
    if (ec
        || !kwin.bStart({(bin / "kwin_wayland").string(), "--virtual", "--xwayland", "--width", std::to_string(kWidth),
                            "--height", std::to_string(kHeight), "--socket", "wayland-bench", "--no-lockscreen",
                            report.string()},
            {"XDG_RUNTIME_DIR=" + run.string(), "DBUS_SESSION_BUS_ADDRESS=" + strBus, "HOME=" + strRoot,
                "XDG_CONFIG_HOME=" + strRoot + "/kwin-config", "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1",
                "QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=", "DISPLAY="},
            (root / "kwin.log").string()))
        return bFail("kwin_wayland did not start");
    if (!bWaitForText(root / "display", "\n", NowNs() + 20000 * kMs))
        return bFail("kwin_wayland did not report its XWayland display");
    std::ifstream(root / "display") >> strDisplay;
    if (!input.bConnect(strSocket, "lumicue bench"))
        return bFail("no fake input");
    return true;
}

bool CKWinRun::bStartLumicue()
{
    const fs::path root = strRoot;
    // Only the one call that says the hotkey is in place.
    const fs::path log = root / "monitor.log";
    if (!monitor.bStart({"dbus-monitor", "--address", strBus, "type='method_call',member='HotKeyRegistered'"}, {},
            log.string()))
        return bFail("dbus-monitor did not start");
    const std::string tapSocket = (root / "tap").string();
    if (!tap.bStart(tapSocket, strSocket))
        return bFail("the tap cannot listen");
    CLumicueHome home;
    if (!home.bPrepare((root / "lumicue").string(), opt.strLumicue))
        return bFail("cannot prepare Lumicue's folders");
    std::vector<std::string> env;
    for (const std::string& e : home.Environment())
        if (e.rfind("WAYLAND_DISPLAY=", 0) != 0 && e.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) != 0)
            env.push_back(e);
    env.insert(env.end(), {"WAYLAND_DISPLAY=" + tapSocket, "DISPLAY=" + strDisplay, "XDG_SESSION_TYPE=wayland",
                              "DBUS_SESSION_BUS_ADDRESS=" + strBus});
    // Hidden in the tray, as a presenter runs it: no window of its own under the pointer.
    if (!lumicue.bStart({home.Program(), "/m"}, env, (root / "lumicue.log").string()))
        return bFail("Lumicue did not start");
    if (!bWaitForText(log, "string \"F8\"", NowNs() + 30000 * kMs))
        return bFail("Lumicue's script did not register F8");
    return true;
}

long long CKWinRun::nWaitCommitAt(int x, int y, long long nDeadlineNs)
{
    for (;;) {
        for (const CWaylandTap::SCommit& c : tap.Take())
            if (c.nLeft + nHotX == x && c.nTop + nHotY == y)
                return c.nNs;
        const long long left = nDeadlineNs - NowNs();
        pollfd p{tap.WakeFd(), POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left / kMs) + 1) <= 0)
            return 0;
    }
}

void CKWinRun::vWaitQuiet()
{
    auto busyNs = [&] {
        return CProcStats::Cpu(kwin.Pid()).nCpuNs + (lumicue.Pid() > 0 ? CProcStats::Cpu(lumicue.Pid()).nCpuNs : 0);
    };
    for (int i = 0; i < 100; ++i) {
        const long long before = busyNs();
        vSleepUntilNs(NowNs() + 100 * kMs);
        if (busyNs() - before < kMs)
            return;
    }
}

void CKWinRun::vPaced(bool bMatch, double& dKWinMs, double& dLumicueMs)
{
    std::vector<long long> sent(static_cast<size_t>(opt.nPaced), 0);
    std::vector<long long> followed(sent.size(), 0);
    std::map<std::pair<int, int>, size_t> indexOf;
    size_t nNext = 0; // the first motion not yet followed
    auto vNote = [&] {
        for (const CWaylandTap::SCommit& c : tap.Take()) {
            const auto it = indexOf.find({c.nLeft + nHotX, c.nTop + nHotY});
            if (it == indexOf.end())
                continue;
            for (; nNext <= it->second; ++nNext)
                followed[nNext] = c.nNs;
        }
    };
    tap.Take();
    const SCpuSample k0 = CProcStats::Cpu(kwin.Pid());
    const SCpuSample l0 = lumicue.Pid() > 0 ? CProcStats::Cpu(lumicue.Pid()) : SCpuSample{};
    const long long nStart = NowNs() + kMs;
    const long long nPeriod = 1000000000LL / opt.nRate;
    for (size_t i = 0; i < sent.size(); ++i) {
        const long long due = nStart + static_cast<long long>(i) * nPeriod;
        // Between sends the commits are read as they arrive.
        for (long long left; bMatch && (left = due - NowNs()) > 0;) {
            const timespec ts{0, static_cast<long>(left)};
            pollfd p{tap.WakeFd(), POLLIN, 0};
            if (ppoll(&p, 1, &ts, nullptr) > 0)
                vNote();
        }
        if (!bMatch)
            vSleepUntilNs(due);
        walk.vNext(nLastX, nLastY);
        indexOf[{nLastX, nLastY}] = i;
        sent[i] = NowNs();
        input.vMoveTo(nLastX, nLastY, false);
    }
    if (bMatch) {
        const long long deadline = NowNs() + opt.nDeadlineMs * kMs;
        while (nNext < sent.size() && NowNs() < deadline) {
            pollfd p{tap.WakeFd(), POLLIN, 0};
            if (poll(&p, 1, static_cast<int>((deadline - NowNs()) / kMs) + 1) > 0)
                vNote();
        }
    }
    input.vSync();
    vWaitQuiet();
    const SCpuSample k1 = CProcStats::Cpu(kwin.Pid());
    const SCpuSample l1 = lumicue.Pid() > 0 ? CProcStats::Cpu(lumicue.Pid()) : SCpuSample{};
    const double perThousand = 1000.0 / static_cast<double>(sent.size()) / 1e6;
    dKWinMs = static_cast<double>(k1.nCpuNs - k0.nCpuNs) * perThousand;
    dLumicueMs = static_cast<double>(l1.nCpuNs - l0.nCpuNs) * perThousand;
    if (!bMatch)
        return;
    std::vector<double> delays;
    for (size_t i = 0; i < sent.size(); ++i)
        if (followed[i])
            delays.push_back(static_cast<double>(followed[i] - sent[i]) / 1000.0);
    result.nUnfollowed += static_cast<int>(sent.size() - delays.size());
    result.dPacedMedianUs = Median(delays);
    result.dPacedP90Us = Percentile(delays, 0.9);
}

void CKWinRun::vOneAtATime()
{
    std::vector<double> delays;
    for (int i = 0; i < opt.nMotions; ++i) {
        walk.vNext(nLastX, nLastY);
        tap.Take();
        const long long t0 = NowNs();
        input.vMoveTo(nLastX, nLastY, false);
        const long long t1 = nWaitCommitAt(nLastX, nLastY, t0 + opt.nDeadlineMs * kMs);
        if (t1)
            delays.push_back(static_cast<double>(t1 - t0) / 1000.0);
        else
            ++result.nUnfollowed;
    }
    result.dDelayMedianUs = Median(delays);
    result.dDelayP90Us = Percentile(delays, 0.9);
}

void CKWinRun::vRest()
{
    vSleepUntilNs(NowNs() + 1000 * kMs);
    const SCpuSample l0 = CProcStats::Cpu(lumicue.Pid());
    const SCpuSample k0 = CProcStats::Cpu(kwin.Pid());
    vSleepUntilNs(NowNs() + opt.nIdleSeconds * 1000 * kMs);
    const SCpuSample l1 = CProcStats::Cpu(lumicue.Pid());
    const SCpuSample k1 = CProcStats::Cpu(kwin.Pid());
    result.dRestCpuMs = static_cast<double>(l1.nCpuNs - l0.nCpuNs) / 1e6;
    result.dKWinRestCpuMs = static_cast<double>(k1.nCpuNs - k0.nCpuNs) / 1e6;
    result.nRestWakeups = l1.nSwitches - l0.nSwitches;
}

SRun CKWinRun::Run()
{
    if (!bStartSession())
        return result;
    double dUnused = 0;
    vPaced(false, result.dKWinAbsentMs, dUnused);
    if (!bStartLumicue())
        return result;
    vPaced(false, result.dKWinOffMs, result.dLumicueOffMs);
    // F8 shows the picture at the pointer: its first commit gives the hot spot.
    tap.Take();
    input.vKey(KEY_F8);
    const long long deadline = NowNs() + 5000 * kMs;
    std::vector<CWaylandTap::SCommit> first;
    while (first.empty() && NowNs() < deadline) {
        pollfd p{tap.WakeFd(), POLLIN, 0};
        if (poll(&p, 1, static_cast<int>((deadline - NowNs()) / kMs) + 1) > 0)
            first = tap.Take();
    }
    if (first.empty()) {
        bFail("F8 did not show the picture");
        return result;
    }
    // The hot spot: the margins of the last commit after one fresh motion.
    vWaitQuiet();
    walk.vNext(nLastX, nLastY);
    input.vMoveTo(nLastX, nLastY, false);
    input.vSync();
    vWaitQuiet();
    first = tap.Take();
    if (first.empty()) {
        bFail("the picture did not follow a motion");
        return result;
    }
    nHotX = nLastX - first.back().nLeft;
    nHotY = nLastY - first.back().nTop;
    vPaced(true, result.dKWinOnMs, result.dLumicueOnMs);
    vOneAtATime();
    vRest();
    result.bOk = true;
    if (opt.bKeep)
        std::printf("  (folders kept in %s)\n", strRoot.c_str());
    return result;
}

bool bParse(int argc, char** argv, SOptions& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--keep")
            o.bKeep = true;
        else if (a == "--lumicue" && (v = next()))
            o.strLumicue = v;
        else if (a == "--runs" && (v = next()))
            o.nRuns = std::atoi(v);
        else if (a == "--motions" && (v = next()))
            o.nMotions = std::atoi(v);
        else if (a == "--paced" && (v = next()))
            o.nPaced = std::atoi(v);
        else if (a == "--rate" && (v = next()))
            o.nRate = std::atoi(v);
        else if (a == "--idle-seconds" && (v = next()))
            o.nIdleSeconds = std::atoi(v);
        else
            return false;
    }
    return !o.strLumicue.empty() && o.nRuns > 0 && o.nMotions > 0 && o.nPaced > 0 && o.nRate > 0;
}

void vPrintRun(int run, const SRun& r)
{
    if (!r.bOk) {
        std::printf("run %d: failed: %s\n", run, r.strWhy.c_str());
        return;
    }
    std::printf("run %d: one at a time %.0f / %.0f us, at rate %.0f / %.0f us, unfollowed %d; per 1000 motions "
                "KWin %.1f (absent) %.1f (off) %.1f (on) ms, Lumicue %.1f (off) %.1f (on) ms; at rest Lumicue %.1f ms "
                "%lld wake-ups, KWin %.1f ms\n",
        run, r.dDelayMedianUs, r.dDelayP90Us, r.dPacedMedianUs, r.dPacedP90Us, r.nUnfollowed, r.dKWinAbsentMs,
        r.dKWinOffMs, r.dKWinOnMs, r.dLumicueOffMs, r.dLumicueOnMs, r.dRestCpuMs, r.nRestWakeups, r.dKWinRestCpuMs);
}

} // namespace

int main(int argc, char** argv)
{
    SOptions o;
    if (!bParse(argc, argv, o)) {
        std::fprintf(stderr, "usage: %s --lumicue PATH [--runs K] [--motions N] [--paced N] [--rate HZ] "
                             "[--idle-seconds S] [--keep]\n", argv[0]);
        return 2;
    }
    if (!fs::exists(kKWin)) {
        std::printf("%s is not installed (scripts/install-deps installs kwin-wayland)\n", kKWin);
        return 1;
    }
    std::printf("KWin route: %d run(s), %d motions one at a time, %d paced at %d Hz per phase, %d s at rest; "
                "fresh bus, headless KWin and Lumicue per run\n", o.nRuns, o.nMotions, o.nPaced, o.nRate,
        o.nIdleSeconds);
    std::vector<SRun> runs;
    for (int i = 1; i <= o.nRuns; ++i) {
        CKWinRun one(o);
        runs.push_back(one.Run());
        vPrintRun(i, runs.back());
        std::fflush(stdout);
    }
    auto med = [&](double SRun::*field) {
        std::vector<double> v;
        for (const SRun& r : runs)
            if (r.bOk)
                v.push_back(r.*field);
        return Median(v);
    };
    int nUnfollowed = 0;
    long long nWakeups = 0;
    bool bAllOk = true;
    for (const SRun& r : runs) {
        nUnfollowed += r.nUnfollowed;
        nWakeups += r.nRestWakeups;
        bAllOk = bAllOk && r.bOk;
    }
    std::printf("\n| KWin route (medians of the runs) | |\n|---|---|\n");
    std::printf("| fake-input motion to overlay committed there, one at a time: median / p90 | %.0f / %.0f us |\n",
        med(&SRun::dDelayMedianUs), med(&SRun::dDelayP90Us));
    std::printf("| the same at %d Hz (a commit at a later motion's place counts): median / p90 | %.0f / %.0f us |\n",
        o.nRate, med(&SRun::dPacedMedianUs), med(&SRun::dPacedP90Us));
    std::printf("| motions left unfollowed (all runs) | %d |\n", nUnfollowed);
    std::printf("| KWin CPU per 1000 motions at %d Hz: Lumicue absent / pointer off / pointer on | %.1f / %.1f / %.1f ms |\n",
        o.nRate, med(&SRun::dKWinAbsentMs), med(&SRun::dKWinOffMs), med(&SRun::dKWinOnMs));
    std::printf("| Lumicue CPU per 1000 motions at %d Hz: pointer off / pointer on | %.1f / %.1f ms |\n", o.nRate,
        med(&SRun::dLumicueOffMs), med(&SRun::dLumicueOnMs));
    std::printf("| over %d s at rest, pointer on: Lumicue CPU, wake-ups (all runs); KWin CPU | %.1f ms, %lld; %.1f ms |\n",
        o.nIdleSeconds, med(&SRun::dRestCpuMs), nWakeups, med(&SRun::dKWinRestCpuMs));
    return bAllOk ? 0 : 1;
}
