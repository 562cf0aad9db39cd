// Reading CPU, wake-ups and memory of a process from /proc.
#include "harness/ProcStats.h"

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

long long FieldSum(const std::string& path, const std::string& key)
{
    std::ifstream in(path);
    std::string line;
    long long total = 0;
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0)
            total += std::stoll(line.substr(key.size()));
    return total;
}

long long ThreadCpuNs(const std::string& taskDir)
{
    std::ifstream in(taskDir + "/schedstat");
    long long ns = 0;
    in >> ns;
    return ns;
}

long long TickCpuNs(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The command name may hold spaces; fields resume after its closing parenthesis.
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string skip;
    for (int i = 3; i < 14; ++i)
        fields >> skip;
    long long utime = 0, stime = 0;
    fields >> utime >> stime;
    return (utime + stime) * (1000000000LL / sysconf(_SC_CLK_TCK));
}

} // namespace

SCpuSample CProcStats::Cpu(pid_t pid)
{
    SCpuSample sample;
    const std::string taskRoot = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(taskRoot.c_str());
    if (!dir)
        return sample;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string task = taskRoot + "/" + entry->d_name;
        sample.nCpuNs += ThreadCpuNs(task);
        sample.nSwitches += FieldSum(task + "/status", "voluntary_ctxt_switches:");
        sample.nSwitches += FieldSum(task + "/status", "nonvoluntary_ctxt_switches:");
    }
    closedir(dir);
    sample.nTickCpuNs = TickCpuNs(pid);
    return sample;
}

SMemorySample CProcStats::Memory(pid_t pid)
{
    const std::string base = "/proc/" + std::to_string(pid);
    SMemorySample sample;
    sample.nRssKb = FieldSum(base + "/status", "VmRSS:");
    sample.nPrivateKb = FieldSum(base + "/smaps_rollup", "Private_Clean:") + FieldSum(base + "/smaps_rollup", "Private_Dirty:")
                        + FieldSum(base + "/smaps_rollup", "Private_Hugetlb:");
    return sample;
}
