// The answer probe's thread: a timerfd ticks; each tick sends one ping and
// starts one command; pongs arrive on the root window (the toolkit sends
// them there), commands end on their pidfds.
#include "AnswerProbe.h"

#include "ChildProcess.h"

#include <X11/Xlib.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <utility>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>

namespace {

long long NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

struct Command {
    std::unique_ptr<CChildProcess> process;
    std::string strExpected;  // at its start
    std::string strLog;
};

} // namespace

CAnswerProbe::~CAnswerProbe()
{
    vStop();
}

bool CAnswerProbe::bStart(const Options& options)
{
    opts = options;
    nStopFd = eventfd(0, EFD_CLOEXEC);
    if (nStopFd < 0)
        return false;
    worker = std::thread([this] { vRun(); });
    return true;
}

void CAnswerProbe::vStop()
{
    if (!worker.joinable())
        return;
    const std::uint64_t one = 1;
    (void)!write(nStopFd, &one, sizeof one);
    worker.join();
    close(nStopFd);
    nStopFd = -1;
}

void CAnswerProbe::vExpect(const std::string& strAnswer)
{
    std::lock_guard lock(mutex);
    strExpected = strAnswer;
}

CAnswerProbe::Results CAnswerProbe::Take()
{
    std::lock_guard lock(mutex);
    return std::exchange(results, Results{});
}

void CAnswerProbe::vRun()
{
    Display* dpy = XOpenDisplay(opts.strDisplay.c_str());
    const int tfd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (!dpy || tfd < 0) {
        std::lock_guard lock(mutex);
        results.failures.push_back("the probe cannot start");
        if (dpy)
            XCloseDisplay(dpy);
        return;
    }
    // The toolkit sends its pong to the root with one of these masks.
    XSelectInput(dpy, DefaultRootWindow(dpy), StructureNotifyMask | SubstructureNotifyMask);
    const Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(dpy, "_NET_WM_PING", False);
    const long period = opts.nPeriodMs * 1'000'000L;
    const itimerspec timer{{period / 1'000'000'000L, period % 1'000'000'000L}, {0, 1}};
    timerfd_settime(tfd, 0, &timer, nullptr);

    std::map<long, long long> sent; // ping serial -> when
    std::vector<Command> commands;
    long nSerial = 0;
    bool bStopping = false;
    const auto expected = [this] {
        std::lock_guard lock(mutex);
        return strExpected;
    };
    const auto note = [this](long long& longest, long long ns) {
        std::lock_guard lock(mutex);
        longest = std::max(longest, ns);
    };
    while (!bStopping || !commands.empty()) {
        std::vector<pollfd> fds{{nStopFd, POLLIN, 0}, {tfd, POLLIN, 0}, {ConnectionNumber(dpy), POLLIN, 0}};
        for (const Command& c : commands)
            fds.push_back({c.process->PidFd(), POLLIN, 0});
        if (XPending(dpy) == 0 && poll(fds.data(), fds.size(), bStopping ? 10000 : -1) == 0)
            break; // commands that hang past the stop are the caller's to end
        if (fds[0].revents)
            bStopping = true;
        std::uint64_t ticks = 0;
        if (fds[1].revents && read(tfd, &ticks, sizeof ticks) > 0 && !bStopping) {
            XEvent ev{};
            ev.xclient.type = ClientMessage;
            ev.xclient.window = opts.nWindow;
            ev.xclient.message_type = protocols;
            ev.xclient.format = 32;
            ev.xclient.data.l[0] = static_cast<long>(ping);
            ev.xclient.data.l[1] = ++nSerial;
            ev.xclient.data.l[2] = static_cast<long>(opts.nWindow);
            sent[nSerial] = NowNs();
            XSendEvent(dpy, opts.nWindow, False, NoEventMask, &ev);
            XFlush(dpy);
            const long nStatusEvery = std::max(1, opts.nStatusPeriodMs / opts.nPeriodMs);
            if (!opts.statusArgv.empty() && (nSerial - 1) % nStatusEvery == 0) {
                Command c{std::make_unique<CChildProcess>(), expected(),
                    opts.strLogDir + "/status-" + std::to_string(nSerial) + ".log"};
                if (c.process->bStart({opts.statusArgv, opts.statusEnv, c.strLog, -1}))
                    commands.push_back(std::move(c));
            }
        }
        while (XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == ClientMessage && ev.xclient.message_type == protocols &&
                static_cast<Atom>(ev.xclient.data.l[0]) == ping) {
                const auto it = sent.find(ev.xclient.data.l[1]);
                if (it != sent.end()) {
                    note(results.nLongestPingNs, NowNs() - it->second);
                    std::lock_guard lock(mutex);
                    ++results.nPings;
                    sent.erase(it);
                }
            }
        }
        for (auto it = commands.begin(); it != commands.end();) {
            if (!it->process->bExited()) {
                ++it;
                continue;
            }
            const long long ns = NowNs() - it->process->StartNs();
            const std::string text = it->process->strLogText();
            const std::string now = expected();
            // Either state is right while a switch was under way at its start or its end.
            const bool bState = text == "on\n" || text == "off\n";
            const bool bRight = it->process->nExitCode() == 0 && bState &&
                (it->strExpected.empty() || now.empty() || text == it->strExpected || text == now);
            {
                std::lock_guard lock(mutex);
                ++results.nStatus;
                results.nLongestStatusNs = std::max(results.nLongestStatusNs, ns);
                // The channel's fault, not the window thread's: counted apart.
                if (!bRight && it->process->nExitCode() == 1 && text == "Lumicue is not running; start it first.\n")
                    ++results.nNotRunning;
                else if (!bRight)
                    results.failures.push_back("exit " + std::to_string(it->process->nExitCode()) + ": " + text +
                        " (expected \"" + it->strExpected + "\" or \"" + now + "\")");
            }
            std::error_code ec;
            std::filesystem::remove(it->strLog, ec);
            it = commands.erase(it);
        }
    }
    // A ping never answered waited until now.
    for (const auto& [serial, at] : sent)
        note(results.nLongestPingNs, NowNs() - at);
    commands.clear();
    close(tfd);
    XCloseDisplay(dpy);
}
