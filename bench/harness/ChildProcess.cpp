// Spawning and ending the benchmark's own child processes.
#include "harness/ChildProcess.h"

#include "harness/Clock.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides)
{
    std::vector<std::string> env;
    auto overridden = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('='));
        for (const std::string& o : overrides)
            if (o.substr(0, o.find('=')) == name)
                return true;
        return false;
    };
    for (char** e = environ; *e; ++e)
        if (!overridden(*e))
            env.emplace_back(*e);
    for (const std::string& o : overrides)
        if (o.find('=') + 1 < o.size())
            env.push_back(o);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

} // namespace

CChildProcess::~CChildProcess()
{
    vStop();
}

bool CChildProcess::bStart(const std::vector<std::string>& argv, const std::vector<std::string>& envOverrides,
                           const std::string& logPath)
{
    std::vector<std::string> args = argv;
    std::vector<std::string> env = MergedEnvironment(envOverrides);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);

    nStartNs = NowNs();
    const int rc = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid = -1;
        return false;
    }
    pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    return true;
}

bool CChildProcess::bRunning() const
{
    if (pid <= 0)
        return false;
    siginfo_t info = {};
    return waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

bool CChildProcess::bWaitExit(int deadlineMs)
{
    if (pidFd >= 0) {
        pollfd p = {pidFd, POLLIN, 0};
        if (poll(&p, 1, deadlineMs) <= 0)
            return false;
    }
    return waitpid(pid, nullptr, 0) == pid || errno == ECHILD;
}

void CChildProcess::vStop(int deadlineMs)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    if (!bWaitExit(deadlineMs)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (pidFd >= 0)
        close(pidFd);
    pid = -1;
    pidFd = -1;
}

bool CChildProcess::bPinTo(int cpu) const
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return pid > 0 && sched_setaffinity(pid, sizeof set, &set) == 0;
}
