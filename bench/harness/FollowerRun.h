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
    // Input rates of the paced runs; each lasts max(2000, rate) motions.
    std::vector<int> rates = {1000, 8000};
    int nIdleSeconds = 10;
    int nFloodSeconds = 0; // unthrottled XTest motion, for memory and catch-up
    int nPictureSize = 128;
    int nPointerSize = 100; // Lumicue's size option, in percent of the picture
    int nDeadlineMs = 250; // a motion not followed within this counts as unfollowed
    bool bKeepFiles = false;
    // Server, compositor and harness on CPU 0, the follower on CPU 1: steadier
    // figures, at the price of a placement the desktop would not choose.
    bool bPin = false;
};

// A paced run at one input rate. A motion counts as followed by the first
// move to its position or to that of a later motion.
struct SRateFigures {
    int nHz = 0;
    std::vector<double> latenciesUs;
    int nUnfollowed = -1;
    double fFollowerCpuPer1000Ms = -1;
    double fServerCpuPer1000Ms = -1;
    double fCompositorCpuPer1000Ms = -1;
};

// Every figure of one run; a figure not measured for this kind stays negative.
struct SRunFigures {
    bool bOk = false;
    std::string strError;
    std::string strWorkDir;
    std::vector<double> latenciesUs; // followed motions only
    int nUnfollowed = 0;
    std::vector<SRateFigures> rates;
    double fIdleCpuMs = -1;
    double fIdleWakeups = -1;
    double fIdleServerCompositorCpuMs = -1;
    double fRssMb = -1;
    double fPrivateMb = -1;
    double fF8ToPictureMs = -1;
    double fF8AgainMs = -1; // the same picture shown again after F8 hid it
    double fStartToWindowMs = -1;
    double fReraiseMs = -1;    // a window mapped over the overlay, to the overlay above it again
    double fFighterRaises = -1; // overlay raises over a window that raises itself, in 3 s
    double fFloodRssGrowthMb = -1;
    double fFloodCatchUpMs = -1;
};

class CFollowerRun {
public:
    explicit CFollowerRun(const SRunOptions& options) : opt(options) {}
    SRunFigures Run(EFollowerKind kind, const std::string& program);
    // Lumicue only: start, F8 to the picture shown, F8 to hide, F8 to show again.
    SRunFigures RunPictureShow(const std::string& program);

private:
    bool bMakeWorkDir();
    SRunFigures Finish();
    bool bStartFollower(EFollowerKind kind, const std::string& program, const std::string& workDir);
    bool bFindPlainWindow();
    // The overlay's side: the picture at the pointer size (the screen's scale is 1).
    int nShownSize() const { return (opt.nPictureSize * opt.nPointerSize + 50) / 100; }
    bool bShowLumicueOverlay();
    bool bPrepareWindow();
    bool bMotionFollowed(long long& latencyNs);
    void vMeasureLatency();
    SRateFigures MeasureRate(int hz);
    void vMeasureIdle();
    void vMeasureStacking();
    void vMeasureFlood();
    bool bPressF8(int eventType, long long& elapsedNs);
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
