// What /proc tells about a process: CPU time (summed over its threads, in ns,
// from schedstat: utime/stime tick at 10 ms, too coarse for these figures),
// context switches (its wake-ups) and memory.
#pragma once

#include <sys/types.h>

struct SCpuSample {
    long long nCpuNs = 0;       // time on a CPU, all live threads
    long long nTickCpuNs = 0;   // utime + stime from stat, 10 ms ticks, dead threads included
    long long nSwitches = 0;    // voluntary + involuntary context switches, all live threads
};

struct SMemorySample {
    long long nRssKb = 0;       // VmRSS
    long long nPrivateKb = 0;   // Private_Clean + Private_Dirty + Private_Hugetlb of smaps_rollup
};

class CProcStats {
public:
    static SCpuSample Cpu(pid_t pid);
    static SMemorySample Memory(pid_t pid);
};
