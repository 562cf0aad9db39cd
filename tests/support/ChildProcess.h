// A process started by a test, a benchmark or the demo, in its own process
// group so that everything it spawns goes with it, watched through a pidfd so
// that waits for its end sleep in poll() with a deadline.
#pragma once

#include "Deadline.h"

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

class CChildProcess {
public:
    struct Options {
        std::vector<std::string> argv;  // argv[0] is looked up in PATH
        std::vector<std::string> env;   // the whole environment, NAME=value
        std::string strLogPath;         // stdout and stderr go here
        int nKeepFd = -1;               // one descriptor the child inherits
    };

    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    bool bStart(const Options& options);
    // Starts with our own environment changed by overrides (NAME=value; an
    // empty value removes NAME).
    bool bStart(const std::vector<std::string>& argv, const std::vector<std::string>& overrides,
                const std::string& strLogPath);
    // Our environment with overrides applied, as bStart above builds it.
    static std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides);
    // Runs fn in a forked child (no exec) and exits with its result.
    bool bStartFunction(const std::function<int()>& fn, const std::string& strLogPath);

    pid_t Pid() const { return pid; }
    int PidFd() const { return nPidFd; }
    // CLOCK_MONOTONIC in ns, read just before the fork.
    long long StartNs() const { return nStartNs; }
    // Keeps the process (and the threads it makes from now on) on one CPU.
    bool bPinTo(int nCpu) const;
    const std::string& strLogPath() const { return strLog; }
    std::string strLogText() const;

    // True once the process has ended and was reaped; never blocks.
    bool bExited();
    bool bRunning() { return pid > 0 && !bExited(); }
    // Sleeps in poll() on the pidfd until the process ends or the deadline.
    bool bWaitExit(const CDeadline& deadline);
    // The exit status once exited: 0..255, 128 + signal when killed, -1 before.
    int nExitCode() const { return nStatus; }

    // Sends sig to the whole process group.
    void vSignalGroup(int sig);
    // Ends the group: SIGTERM with a grace period (0: SIGKILL at once), then
    // SIGKILL for whatever is left, and reaps the process.
    void vStop(int nGraceMs = 0);

private:
    bool bAfterFork(pid_t child);
    void vNoteStart();
    void vReap(bool bBlock);

    pid_t pid = -1;
    int nPidFd = -1;
    int nStatus = -1;
    long long nStartNs = 0;
    bool bReaped = false;
    bool bStopped = false;
    std::string strLog;
};
