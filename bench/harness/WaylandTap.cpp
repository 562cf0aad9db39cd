// Forwarding, descriptor passing and the request reader of the tap.
#include "harness/WaylandTap.h"

#include "harness/Clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxFds = 28; // what libwayland sends at most in one message

// Opcodes of the requests the tap reads.
constexpr uint16_t kRegistryBind = 0, kGetLayerSurface = 0, kSetMargin = 3, kSurfaceCommit = 6;

bool bFillAddress(sockaddr_un& addr, const std::string& path)
{
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

uint32_t Word(const char* p)
{
    uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

} // namespace

struct CWaylandTap::SPair {
    int nClient = -1, nServer = -1;
    std::string pending; // the client's bytes not yet a whole message
    uint32_t nLayerShell = 0, nLayerSurface = 0, nSurface = 0;
    bool bMargin = false;
    int nLeft = 0, nTop = 0;
};

CWaylandTap::~CWaylandTap()
{
    vStop();
}

bool CWaylandTap::bStart(const std::string& strListenPath, const std::string& strUpstreamPath)
{
    strUpstream = strUpstreamPath;
    sockaddr_un addr;
    if (!bFillAddress(addr, strListenPath))
        return false;
    nListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    nWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    nStopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    unlink(strListenPath.c_str());
    if (nListenFd < 0 || nWakeFd < 0 || nStopFd < 0 || bind(nListenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || listen(nListenFd, 8) != 0)
        return false;
    thread = std::thread([this] { vRun(); });
    return true;
}

void CWaylandTap::vStop()
{
    if (thread.joinable()) {
        const uint64_t one = 1;
        (void)!write(nStopFd, &one, sizeof one);
        thread.join();
    }
    for (SPair* p : pairs) {
        close(p->nClient);
        close(p->nServer);
        delete p;
    }
    pairs.clear();
    for (int* fd : {&nListenFd, &nWakeFd, &nStopFd})
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
}

std::vector<CWaylandTap::SCommit> CWaylandTap::Take()
{
    uint64_t n;
    (void)!read(nWakeFd, &n, sizeof n);
    std::lock_guard<std::mutex> guard(lock);
    std::vector<SCommit> out;
    out.swap(commits);
    return out;
}

void CWaylandTap::vRun()
{
    for (;;) {
        std::vector<pollfd> fds{{nStopFd, POLLIN, 0}, {nListenFd, POLLIN, 0}};
        for (SPair* p : pairs) {
            fds.push_back({p->nClient, POLLIN, 0});
            fds.push_back({p->nServer, POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            auto* p = new SPair;
            p->nClient = accept4(nListenFd, nullptr, nullptr, SOCK_CLOEXEC);
            p->nServer = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un addr;
            if (p->nClient >= 0 && p->nServer >= 0 && bFillAddress(addr, strUpstream)
                && connect(p->nServer, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
                pairs.push_back(p);
            } else {
                close(p->nClient);
                close(p->nServer);
                delete p;
            }
        }
        // A pair either side of which ends goes as a whole.
        for (size_t i = 0, k = 2; i < pairs.size(); ++i, k += 2) {
            SPair* p = pairs[i];
            const bool bOk = (!fds[k].revents || bForward(*p, true)) && (!fds[k + 1].revents || bForward(*p, false));
            if (!bOk) {
                close(p->nClient);
                close(p->nServer);
                delete p;
                pairs[i] = nullptr;
            }
        }
        pairs.erase(std::remove(pairs.begin(), pairs.end(), nullptr), pairs.end());
    }
}

// One read from one side, with the descriptors that came along, written to
// the other side as it came.
bool CWaylandTap::bForward(SPair& pair, bool bFromClient)
{
    const int from = bFromClient ? pair.nClient : pair.nServer;
    const int to = bFromClient ? pair.nServer : pair.nClient;
    char data[16384];
    alignas(cmsghdr) char control[CMSG_SPACE(kMaxFds * sizeof(int))];
    iovec iov{data, sizeof data};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n;
    do
        n = recvmsg(from, &msg, MSG_CMSG_CLOEXEC);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
        return false;
    const long long nNs = NowNs();
    std::vector<int> passed;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
            const size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            const auto* fdsIn = reinterpret_cast<const int*>(CMSG_DATA(c));
            passed.insert(passed.end(), fdsIn, fdsIn + count);
        }
    iovec out{data, static_cast<size_t>(n)};
    msghdr sent{};
    sent.msg_iov = &out;
    sent.msg_iovlen = 1;
    alignas(cmsghdr) char outControl[CMSG_SPACE(kMaxFds * sizeof(int))];
    if (!passed.empty()) {
        sent.msg_control = outControl;
        sent.msg_controllen = CMSG_SPACE(passed.size() * sizeof(int));
        cmsghdr* c = CMSG_FIRSTHDR(&sent);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(passed.size() * sizeof(int));
        std::memcpy(CMSG_DATA(c), passed.data(), passed.size() * sizeof(int));
    }
    ssize_t w;
    do
        w = sendmsg(to, &sent, MSG_NOSIGNAL);
    while (w < 0 && errno == EINTR);
    for (int fd : passed)
        close(fd);
    // A short write on a blocking stream socket only follows an error.
    if (w != n)
        return false;
    if (bFromClient && bRead(pair, data, static_cast<size_t>(n), nNs)) {
        const uint64_t one = 1;
        (void)!write(nWakeFd, &one, sizeof one);
    }
    return true;
}

// The client's requests, message by message: header (object id, then size
// << 16 | opcode), arguments in 32-bit words.
bool CWaylandTap::bRead(SPair& pair, const char* data, size_t n, long long nNs)
{
    bool bNoted = false;
    pair.pending.append(data, n);
    size_t at = 0;
    while (pair.pending.size() - at >= 8) {
        const char* m = pair.pending.data() + at;
        const uint32_t id = Word(m);
        const uint32_t sizeOp = Word(m + 4);
        const size_t size = sizeOp >> 16;
        const uint16_t op = sizeOp & 0xFFFF;
        if (size < 8 || pair.pending.size() - at < size)
            break;
        if (op == kRegistryBind && size >= 20 && Word(m + 12) == sizeof "zwlr_layer_shell_v1"
            && std::memcmp(m + 16, "zwlr_layer_shell_v1", sizeof "zwlr_layer_shell_v1") == 0)
            pair.nLayerShell = Word(m + size - 4);
        else if (id == pair.nLayerShell && op == kGetLayerSurface && size >= 16) {
            pair.nLayerSurface = Word(m + 8);
            pair.nSurface = Word(m + 12);
        } else if (id == pair.nLayerSurface && op == kSetMargin && size == 24) {
            pair.bMargin = true;
            pair.nTop = static_cast<int32_t>(Word(m + 8));
            pair.nLeft = static_cast<int32_t>(Word(m + 20));
        } else if (id == pair.nSurface && op == kSurfaceCommit && pair.bMargin) {
            pair.bMargin = false;
            std::lock_guard<std::mutex> guard(lock);
            commits.push_back({nNs, pair.nLeft, pair.nTop});
            bNoted = true;
        }
        at += size;
    }
    pair.pending.erase(0, at);
    return bNoted;
}
