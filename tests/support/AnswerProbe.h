// Asks a running program, at a fixed period driven by a timer, whether its
// window's thread answers: a _NET_WM_PING sent to its window (the toolkit
// answers it on that thread) and, when asked for, a `--status` command run
// beside every few pings, whose output must be the state expected. Runs on
// its own thread with its own X connection; every wait is a poll() on the
// timer, the connection and the commands' pidfds.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CAnswerProbe {
public:
    struct Options {
        std::string strDisplay;
        unsigned long nWindow = 0;               // the window pinged
        int nPeriodMs = 50;
        int nStatusPeriodMs = 500;               // a command at most this often
        std::vector<std::string> statusArgv;     // empty: pings only
        std::vector<std::string> statusEnv;
        std::string strLogDir;                   // the commands' output, one file each
    };
    struct Results {
        int nPings = 0;
        long long nLongestPingNs = 0;  // the longest wait for a pong, unanswered ones included
        int nStatus = 0;
        long long nLongestStatusNs = 0;
        std::vector<std::string> failures;  // commands that answered wrongly
        int nNotRunning = 0;  // commands that said the running program is not running
    };

    CAnswerProbe() = default;
    ~CAnswerProbe();
    CAnswerProbe(const CAnswerProbe&) = delete;
    CAnswerProbe& operator=(const CAnswerProbe&) = delete;

    bool bStart(const Options& options);
    // Stops probing and waits for the commands under way.
    void vStop();
    // What `--status` must print from now on: "on\n", "off\n", or "" for
    // either (while a switch is under way).
    void vExpect(const std::string& strAnswer);
    // What was measured since the last Take(); starts a new count.
    Results Take();

private:
    void vRun();

    Options opts;
    std::thread worker;
    int nStopFd = -1;
    std::mutex mutex;
    std::string strExpected;
    Results results;
};
