// A process the benchmark starts and ends itself: spawned with its own
// environment and log file, stopped by SIGTERM with a deadline, then SIGKILL.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Starts argv[0] (searched in PATH) with the environment given as
    // NAME=value overrides of ours (an empty value unsets); descriptors
    // opened without O_CLOEXEC are inherited. stdout and stderr go to logPath.
    bool bStart(const std::vector<std::string>& argv, const std::vector<std::string>& envOverrides,
                const std::string& logPath);
    // SIGTERM, then SIGKILL when it has not ended within deadlineMs.
    void vStop(int deadlineMs = 2000);
    // True while the process has not ended (does not reap it).
    bool bRunning() const;
    // Keeps the process (and the threads it makes from now on) on one CPU.
    bool bPinTo(int cpu) const;
    pid_t Pid() const { return pid; }
    // Clock reading taken just before the spawn, in ns of CLOCK_MONOTONIC.
    long long StartNs() const { return nStartNs; }

private:
    bool bWaitExit(int deadlineMs);
    pid_t pid = -1;
    int pidFd = -1;
    long long nStartNs = 0;
};
