// Process start, wait and group kill for tests, benchmarks and the demo.
#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {

int OpenPidFd(pid_t pid)
{
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

// Child side, between fork and exec: own group, die with the test, quiet
// stdin, output to the log, no descriptor of the test process but one.
void PrepareChild(pid_t parent, const std::string& strLogPath, int nKeepFd)
{
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
    int nNull = open("/dev/null", O_RDONLY);
    if (nNull >= 0) {
        dup2(nNull, 0);
        close(nNull);
    }
    if (!strLogPath.empty()) {
        int nLog = open(strLogPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (nLog >= 0) {
            dup2(nLog, 1);
            dup2(nLog, 2);
            close(nLog);
        }
    }
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != nKeepFd)
            fcntl(fd, F_SETFD, FD_CLOEXEC);
    if (nKeepFd >= 0)
        fcntl(nKeepFd, F_SETFD, 0);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

} // namespace

CChildProcess::~CChildProcess()
{
    vStop();
}

bool CChildProcess::bStart(const Options& options)
{
    if (pid > 0 || options.argv.empty())
        return false;
    strLog = options.strLogPath;
    std::vector<char*> argv;
    for (const auto& s : options.argv)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& s : options.env)
        envp.push_back(const_cast<char*>(s.c_str()));
    envp.push_back(nullptr);

    pid_t parent = getpid();
    vNoteStart();
    pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        PrepareChild(parent, options.strLogPath, options.nKeepFd);
        execvpe(argv[0], argv.data(), envp.data());
        dprintf(2, "exec %s failed: %d\n", argv[0], errno);
        _exit(127);
    }
    return bAfterFork(child);
}

bool CChildProcess::bStart(const std::vector<std::string>& argv, const std::vector<std::string>& overrides,
                           const std::string& strLogPath)
{
    return bStart(Options{argv, MergedEnvironment(overrides), strLogPath});
}

std::vector<std::string> CChildProcess::MergedEnvironment(const std::vector<std::string>& overrides)
{
    auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        bool bOverridden = false;
        for (const std::string& o : overrides)
            bOverridden = bOverridden || name(o) == name(*e);
        if (!bOverridden)
            env.emplace_back(*e);
    }
    for (const std::string& o : overrides)
        if (o.find('=') + 1 < o.size())
            env.push_back(o);
    return env;
}

bool CChildProcess::bPinTo(int nCpu) const
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(nCpu, &set);
    return pid > 0 && sched_setaffinity(pid, sizeof set, &set) == 0;
}

void CChildProcess::vNoteStart()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    nStartNs = ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

bool CChildProcess::bStartFunction(const std::function<int()>& fn, const std::string& strLogPath)
{
    if (pid > 0)
        return false;
    strLog = strLogPath;
    pid_t parent = getpid();
    pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        PrepareChild(parent, strLogPath, -1);
        _exit(fn());
    }
    return bAfterFork(child);
}

bool CChildProcess::bAfterFork(pid_t child)
{
    pid = child;
    // Both sides set the group so that a kill right after fork reaches it.
    setpgid(child, child);
    nPidFd = OpenPidFd(child);
    return nPidFd >= 0;
}

void CChildProcess::vReap(bool bBlock)
{
    if (pid <= 0 || bReaped)
        return;
    int status = 0;
    pid_t r = waitpid(pid, &status, bBlock ? 0 : WNOHANG);
    if (r != pid)
        return;
    bReaped = true;
    if (WIFEXITED(status))
        nStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        nStatus = 128 + WTERMSIG(status);
}

bool CChildProcess::bExited()
{
    vReap(false);
    return bReaped;
}

bool CChildProcess::bWaitExit(const CDeadline& deadline)
{
    if (pid <= 0)
        return false;
    for (;;) {
        if (bExited())
            return true;
        pollfd p{nPidFd, POLLIN, 0};
        int n = poll(&p, 1, deadline.nRemainingMs());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return bExited();
    }
}

void CChildProcess::vSignalGroup(int sig)
{
    // Once stopped the group number may belong to someone else.
    if (pid > 0 && !bStopped)
        kill(-pid, sig);
}

void CChildProcess::vStop(int nGraceMs)
{
    if (pid <= 0 || bStopped)
        return;
    bStopped = true;
    if (!bExited() && nGraceMs > 0) {
        vSignalGroup(SIGTERM);
        bWaitExit(CDeadline::Millis(nGraceMs));
    }
    // Also after the leader ended: whatever it left in its group goes too.
    kill(-pid, SIGKILL);
    vReap(true);
    if (nPidFd >= 0) {
        close(nPidFd);
        nPidFd = -1;
    }
}

std::string CChildProcess::strLogText() const
{
    std::ifstream in(strLog, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}
