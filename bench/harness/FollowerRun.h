// One run of one follower on a fresh X server and compositor: start it, find
// its window, drive XTest motions and read its cost from /proc.
#pragma once

#include "ChildProcess.h"
#include "harness/XSession.h"

#include <X11/Xlib.h>

#include <string>
#include <vector>

enum class EFollowerKind {
    Plain,   // maps its window itself at start (the reference follower)
    Lumicue, // shows a main window; F8 shows the overlay
};

struct SRunOptions {
    int nMotions = 2000;
    int nPacedMotions = 1000;
    int nPacedHz = 1000;
    int nIdleSeconds = 10;
    int nDeadlineMs = 250; // a motion not followed within this counts as unfollowed
    bool bKeepFiles = false;
    // Server, compositor and harness on CPU 0, the follower on CPU 1: steadier
    // figures, at the price of a placement the desktop would not choose.
    bool bPin = false;
};

// Every figure of one run; a figure not measured for this kind stays negative.
struct SRunFigures {
    bool bOk = false;
    std::string strError;
    std::string strWorkDir;
    std::vector<double> latenciesUs; // followed motions only
    int nUnfollowed = 0;
    double fFollowerCpuPer1000Ms = -1;
    double fFollowerTickCpuPer1000Ms = -1; // the same from stat's 10 ms ticks, as a cross-check
    double fServerCpuPer1000Ms = -1;
    double fCompositorCpuPer1000Ms = -1;
    double fIdleCpuMs = -1;
    double fIdleWakeups = -1;
    double fIdleServerCompositorCpuMs = -1;
    double fRssMb = -1;
    double fPrivateMb = -1;
    double fF8ToPictureMs = -1;
    double fStartToWindowMs = -1;
};

class CFollowerRun {
public:
    explicit CFollowerRun(const SRunOptions& options) : opt(options) {}
    SRunFigures Run(EFollowerKind kind, const std::string& program);

private:
    bool bStartFollower(EFollowerKind kind, const std::string& program, const std::string& workDir);
    bool bFindPlainWindow();
    bool bShowLumicueOverlay();
    bool bPrepareWindow();
    bool bMotionFollowed(long long& latencyNs);
    void vMeasureLatency();
    void vMeasurePacedCpu();
    void vMeasureIdle();
    bool bFail(const std::string& why);

    struct SPoint {
        int x, y;
    };
    SPoint NextPosition();
    void vSendMotion(SPoint p);
    bool bIsExpectedMove(const XEvent& ev) const;

    SRunOptions opt;
    SRunFigures fig;
    CXSession x;
    CChildProcess follower;
    Window win = None;
    int nHalfWidth = 0, nHalfHeight = 0;
    int nPosition = 0;
    SPoint expected = {0, 0};
};
