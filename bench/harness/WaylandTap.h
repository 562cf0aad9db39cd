// A pass-through between Wayland clients and the compositor that notes when
// a layer surface is committed at new margins. Clients connect to its socket;
// each gets a connection of its own to the compositor, and every byte and
// descriptor goes through unchanged, both ways, on a thread of the tap's own.
// Only the clients' requests are read: the layer shell's bind, the layer
// surface it makes, that surface's set_margin and the commit after it.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CWaylandTap {
public:
    struct SCommit {
        long long nNs;     // CLOCK_MONOTONIC when the commit arrived
        int nLeft, nTop;   // the margins it committed
    };

    CWaylandTap() = default;
    ~CWaylandTap(); // vStop
    CWaylandTap(const CWaylandTap&) = delete;
    CWaylandTap& operator=(const CWaylandTap&) = delete;

    // Listens at strListenPath and forwards to the compositor at strUpstreamPath.
    bool bStart(const std::string& strListenPath, const std::string& strUpstreamPath);
    void vStop();

    // Readable (an eventfd) whenever commits were noted.
    int WakeFd() const { return nWakeFd; }
    // The commits noted since the last call, oldest first.
    std::vector<SCommit> Take();

private:
    struct SPair;
    void vRun();
    bool bForward(SPair& pair, bool bFromClient);
    // TRUE when a commit was noted.
    bool bRead(SPair& pair, const char* data, size_t n, long long nNs);

    std::string strUpstream;
    int nListenFd = -1;
    int nWakeFd = -1;
    int nStopFd = -1;
    std::thread thread;
    std::vector<SPair*> pairs;
    std::mutex lock;
    std::vector<SCommit> commits;
};
