// Measures how well followers keep a window under the cursor: each one runs on
// a fresh Xvfb with xcompmgr, is driven by XTest motions, and its latency,
// CPU, idle cost, memory and start-up times are printed side by side.
#include "harness/FollowerRun.h"
#include "harness/Stats.h"

#include <X11/Xlib.h>

#include <sched.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <functional>
#include <list>
#include <string>
#include <vector>

namespace {

struct SFollower {
    std::string strLabel;
    EFollowerKind kind;
    std::string strProgram;
    std::vector<SRunFigures> runs;
};

struct SOptions {
    std::vector<SFollower> followers;
    SRunOptions run;
    int nRuns = 1;
    std::vector<int> pictureSizes; // F8 to shown for Lumicue, one start per size and run
};

std::vector<int> IntList(const std::string& text)
{
    std::vector<int> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t comma = text.find(',', at);
        if (comma == std::string::npos)
            comma = text.size();
        out.push_back(std::atoi(text.substr(at, comma - at).c_str()));
        at = comma + 1;
    }
    return out;
}

void vUsage()
{
    std::fprintf(stderr,
                 "usage: bench_FollowBench [--reference PATH] [--lumicue PATH] [--candidate PATH]\n"
                 "                         [--runs K] [--motions N] [--rates HZ,HZ] [--idle-seconds S] [--flood-seconds S]\n"
                 "                         [--picture-sizes PX,PX] [--pointer-size PCT] [--deadline-ms D] [--pin] [--keep]\n"
                 "  --reference PATH  a plain follower (maps its window at start), the baseline\n"
                 "  --lumicue PATH    the Lumicue program: own install folder and home, F8 shows the overlay\n"
                 "  --candidate PATH  another plain follower in a second column (checks the harness)\n"
                 "  --pointer-size PCT  Lumicue's pointer size option, 25 to 400 (default 100)\n");
}

bool bParse(int argc, char** argv, SOptions& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc && a != "--keep" && a != "--pin")
            return false;
        if (a == "--reference")
            o.followers.push_back({"reference", EFollowerKind::Plain, argv[++i], {}});
        else if (a == "--lumicue")
            o.followers.push_back({"lumicue", EFollowerKind::Lumicue, argv[++i], {}});
        else if (a == "--candidate")
            o.followers.push_back({"candidate", EFollowerKind::Plain, argv[++i], {}});
        else if (a == "--runs")
            o.nRuns = std::atoi(argv[++i]);
        else if (a == "--motions")
            o.run.nMotions = std::atoi(argv[++i]);
        else if (a == "--rates")
            o.run.rates = IntList(argv[++i]);
        else if (a == "--flood-seconds")
            o.run.nFloodSeconds = std::atoi(argv[++i]);
        else if (a == "--pointer-size")
            o.run.nPointerSize = std::atoi(argv[++i]);
        else if (a == "--picture-sizes")
            o.pictureSizes = IntList(argv[++i]);
        else if (a == "--idle-seconds")
            o.run.nIdleSeconds = std::atoi(argv[++i]);
        else if (a == "--deadline-ms")
            o.run.nDeadlineMs = std::atoi(argv[++i]);
        else if (a == "--pin")
            o.run.bPin = true;
        else if (a == "--keep")
            o.run.bKeepFiles = true;
        else
            return false;
    }
    const bool ratesOk = std::all_of(o.run.rates.begin(), o.run.rates.end(), [](int hz) { return hz > 0; });
    const bool sizesOk = std::all_of(o.pictureSizes.begin(), o.pictureSizes.end(), [](int px) { return px > 0; });
    return !o.followers.empty() && o.nRuns > 0 && o.run.nMotions > 0 && o.run.nIdleSeconds >= 0 && o.run.nPointerSize >= 25
           && o.run.nPointerSize <= 400 && ratesOk && sizesOk;
}

void vPrintRun(const SFollower& f, int run, const SRunFigures& r)
{
    if (!r.bOk) {
        std::printf("  run %d %-9s FAILED: %s (files kept in %s)\n", run, f.strLabel.c_str(), r.strError.c_str(),
                    r.strWorkDir.c_str());
        return;
    }
    std::printf("  run %d %-9s median %.1f us, p90 %.1f us, unfollowed %d, idle %.2f ms %g wake-ups\n", run,
                f.strLabel.c_str(), Median(r.latenciesUs), Percentile(r.latenciesUs, 0.9), r.nUnfollowed, r.fIdleCpuMs,
                r.fIdleWakeups);
    for (const SRateFigures& rate : r.rates)
        std::printf("        %5d Hz: median %.1f us, p90 %.1f us, unfollowed %d, cpu/1000 follower %.2f, server %.2f, "
                    "compositor %.2f ms\n",
                    rate.nHz, Median(rate.latenciesUs), Percentile(rate.latenciesUs, 0.9), rate.nUnfollowed,
                    rate.fFollowerCpuPer1000Ms, rate.fServerCpuPer1000Ms, rate.fCompositorCpuPer1000Ms);
    std::fflush(stdout);
}

struct SRow {
    const char* name;
    const char* format;
    std::function<double(const SRunFigures&)> figure;
    bool bSum = false; // summed over runs instead of the median
};

double Combined(const SFollower& f, const SRow& row)
{
    std::vector<double> values;
    double sum = 0;
    for (const SRunFigures& r : f.runs)
        if (r.bOk && row.figure(r) >= 0) {
            values.push_back(row.figure(r));
            sum += row.figure(r);
        }
    if (values.empty())
        return -1;
    return row.bSum ? sum : Median(values);
}

void vPrintTable(const SOptions& o)
{
    char unfollowed[96];
    std::snprintf(unfollowed, sizeof unfollowed, "unfollowed motions (of %d, sum of runs)", o.run.nMotions);
    char idle[96];
    std::snprintf(idle, sizeof idle, "idle CPU over %d s, pointer on (ms)", o.run.nIdleSeconds);
    char flood[96];
    std::snprintf(flood, sizeof flood, "resident growth in %d s of flood (MB)", o.run.nFloodSeconds);
    std::list<std::string> rowNames; // stable storage for the rows' names
    char wake[96];
    std::snprintf(wake, sizeof wake, "idle wake-ups over %d s (ctx switches)", o.run.nIdleSeconds);
    std::vector<SRow> rows = {
        {"one at a time: latency median (us)", "%.1f", [](const SRunFigures& r) { return Median(r.latenciesUs); }},
        {"one at a time: latency p90 (us)", "%.1f", [](const SRunFigures& r) { return Percentile(r.latenciesUs, 0.9); }},
        {unfollowed, "%.0f", [](const SRunFigures& r) { return r.nUnfollowed; }, true},
    };
    for (size_t i = 0; i < o.run.rates.size(); ++i) {
        // A run that failed early has no rate figures: the row reads negative.
        auto at = [i](const SRunFigures& r, double (*pick)(const SRateFigures&)) {
            return i < r.rates.size() ? pick(r.rates[i]) : -1.0;
        };
        const std::string hz = std::to_string(o.run.rates[i]) + " Hz: ";
        auto add = [&](const std::string& name, const char* format, double (*pick)(const SRateFigures&), bool sum = false) {
            rowNames.push_back(hz + name);
            rows.push_back({rowNames.back().c_str(), format, [at, pick](const SRunFigures& r) { return at(r, pick); }, sum});
        };
        add("latency median (us)", "%.1f", [](const SRateFigures& r) { return Median(r.latenciesUs); });
        add("latency p90 (us)", "%.1f", [](const SRateFigures& r) { return Percentile(r.latenciesUs, 0.9); });
        add("unfollowed motions (sum of runs)", "%.0f", [](const SRateFigures& r) { return double(r.nUnfollowed); }, true);
        add("follower CPU per 1000 motions (ms)", "%.2f", [](const SRateFigures& r) { return r.fFollowerCpuPer1000Ms; });
        add("X server CPU per 1000 motions (ms)", "%.2f", [](const SRateFigures& r) { return r.fServerCpuPer1000Ms; });
        add("compositor CPU per 1000 motions (ms)", "%.2f", [](const SRateFigures& r) { return r.fCompositorCpuPer1000Ms; });
        add("total CPU per 1000 motions (ms)", "%.2f", [](const SRateFigures& r) {
            return r.fFollowerCpuPer1000Ms + r.fServerCpuPer1000Ms + r.fCompositorCpuPer1000Ms;
        });
    }
    const std::vector<SRow> rest = {
        {idle, "%.2f", [](const SRunFigures& r) { return r.fIdleCpuMs; }},
        {wake, "%.0f", [](const SRunFigures& r) { return r.fIdleWakeups; }},
        {"idle X server + compositor CPU (ms)", "%.2f", [](const SRunFigures& r) { return r.fIdleServerCompositorCpuMs; }},
        {"resident memory, pointer on (MB)", "%.1f", [](const SRunFigures& r) { return r.fRssMb; }},
        {"private memory, smaps_rollup (MB)", "%.1f", [](const SRunFigures& r) { return r.fPrivateMb; }},
        {"F8 to picture mapped (ms)", "%.1f", [](const SRunFigures& r) { return r.fF8ToPictureMs; }},
        {"start to main window shown (ms)", "%.1f", [](const SRunFigures& r) { return r.fStartToWindowMs; }},
        {"window mapped over the overlay to re-raise (ms)", "%.1f", [](const SRunFigures& r) { return r.fReraiseMs; }},
        {"raises over a self-raising window in 3 s", "%.0f", [](const SRunFigures& r) { return r.fFighterRaises; }},
        {flood, "%.1f", [](const SRunFigures& r) { return r.fFloodRssGrowthMb; }},
        {"catch-up after the flood (ms)", "%.1f", [](const SRunFigures& r) { return r.fFloodCatchUpMs; }},
    };
    rows.insert(rows.end(), rest.begin(), rest.end());

    const SFollower* base = o.followers[0].strLabel == "reference" ? &o.followers[0] : nullptr;
    std::printf("\n%-44s", o.nRuns > 1 ? "figure (median of runs)" : "figure");
    for (const SFollower& f : o.followers) {
        std::printf(" %12s", f.strLabel.c_str());
        if (base && &f != base)
            std::printf(" %12s", (f.strLabel + "/ref").c_str());
    }
    std::printf("\n");
    for (const SRow& row : rows) {
        std::printf("%-44s", row.name);
        for (const SFollower& f : o.followers) {
            const double v = Combined(f, row);
            char cell[32] = "-";
            if (v >= 0)
                std::snprintf(cell, sizeof cell, row.format, v);
            std::printf(" %12s", cell);
            if (base && &f != base) {
                const double b = Combined(*base, row);
                char ratio[32] = "-";
                if (v >= 0 && b > 0)
                    std::snprintf(ratio, sizeof ratio, "%.2f", v / b);
                std::printf(" %12s", ratio);
            }
        }
        std::printf("\n");
    }
}

// F8 to the picture shown, first and again, for each picture size: Lumicue
// only, a fresh start per size and run.
bool vMeasurePictureShows(const SOptions& o)
{
    bool allOk = true;
    for (const SFollower& f : o.followers) {
        if (f.kind != EFollowerKind::Lumicue || o.pictureSizes.empty())
            continue;
        std::printf("\n%-44s %12s %12s\n", "F8 to picture shown (ms, median of runs)", "first", "again");
        for (int px : o.pictureSizes) {
            std::vector<double> first, again;
            for (int run = 1; run <= o.nRuns; ++run) {
                SRunOptions one = o.run;
                one.nPictureSize = px;
                const SRunFigures r = CFollowerRun(one).RunPictureShow(f.strProgram);
                if (!r.bOk) {
                    std::printf("  %d px run %d FAILED: %s (files kept in %s)\n", px, run, r.strError.c_str(),
                                r.strWorkDir.c_str());
                    allOk = false;
                    continue;
                }
                first.push_back(r.fF8ToPictureMs);
                again.push_back(r.fF8AgainMs);
            }
            char name[64];
            std::snprintf(name, sizeof name, "%d x %d picture", px, px);
            std::printf("%-44s %12.1f %12.1f\n", name, Median(first), Median(again));
        }
    }
    return allOk;
}

int IgnoreXError(Display*, XErrorEvent*)
{
    // Windows of the followers may vanish between an event and a query of it.
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    SOptions o;
    if (!bParse(argc, argv, o)) {
        vUsage();
        return 2;
    }
    XSetErrorHandler(IgnoreXError);
    if (o.run.bPin) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(0, &set);
        sched_setaffinity(0, sizeof set, &set);
    }
    std::printf("%d run(s), %d motions one at a time, paced runs at", o.nRuns, o.run.nMotions);
    for (int hz : o.run.rates)
        std::printf(" %d Hz", hz);
    std::printf(", %d s idle, %d s flood; fresh Xvfb + xcompmgr per follower and run\n", o.run.nIdleSeconds,
                o.run.nFloodSeconds);
    bool allOk = true;
    // Followers take turns within each run, so a drift of the machine hits all alike.
    for (int run = 1; run <= o.nRuns; ++run)
        for (SFollower& f : o.followers) {
            CFollowerRun one(o.run);
            f.runs.push_back(one.Run(f.kind, f.strProgram));
            allOk = allOk && f.runs.back().bOk;
            vPrintRun(f, run, f.runs.back());
        }
    vPrintTable(o);
    allOk = vMeasurePictureShows(o) && allOk;
    return allOk ? 0 : 1;
}
