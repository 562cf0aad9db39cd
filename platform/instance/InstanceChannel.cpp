// Both ends of the single-instance channel. A request is one fixed-size
// record: message, wParam, lParam and whether the sender waits; a sent
// request is answered with the handler's result. The socket lies in the
// abstract namespace, so its name fits whatever the runtime folder's length,
// and both ends check that the other is the same user.
#include "platform/instance/InstanceServer.h"
#include "platform/instance/RemoteWindow.h"

#include "platform/instance/RuntimeFolder.h"
#include "platform/ui/Wnd.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QtEndian>

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kRequestSize = 4 + 8 + 8 + 1;
constexpr int kAnswerSize = 8;

struct Request {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool bSend = false;
};

std::array<char, kRequestSize> PackRequest(const Request& r)
{
    std::array<char, kRequestSize> out{};
    qToLittleEndian<quint32>(r.message, out.data());
    qToLittleEndian<quint64>(static_cast<quint64>(r.wParam), out.data() + 4);
    qToLittleEndian<qint64>(static_cast<qint64>(r.lParam), out.data() + 12);
    out[20] = r.bSend ? 1 : 0;
    return out;
}

Request UnpackRequest(const char* in)
{
    Request r;
    r.message = qFromLittleEndian<quint32>(in);
    r.wParam = static_cast<WPARAM>(qFromLittleEndian<quint64>(in + 4));
    r.lParam = static_cast<LPARAM>(qFromLittleEndian<qint64>(in + 12));
    r.bSend = in[20] != 0;
    return r;
}

// The user, the runtime folder and the channel name make the address, so
// that sessions with their own runtime folders never meet.
struct ChannelAddress {
    sockaddr_un addr{};
    socklen_t nLength = 0;
};

ChannelAddress AddressOf(const QString& name)
{
    const QByteArray id = QCryptographicHash::hash((GetRuntimeFolder() + u'/' + name).toUtf8(),
        QCryptographicHash::Sha256).toHex().left(32);
    const QByteArray abstractName = "lumicue-" + QByteArray::number(getuid()) + '-' + id;
    ChannelAddress a;
    a.addr.sun_family = AF_UNIX;
    std::memcpy(a.addr.sun_path + 1, abstractName.constData(), static_cast<size_t>(abstractName.size()));
    a.nLength = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());
    return a;
}

bool bPeerIsUser(int fd)
{
    ucred cred{};
    socklen_t nLength = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &nLength) == 0 && cred.uid == getuid();
}

int MsLeft(const QElapsedTimer& clock, int nTimeout)
{
    return nTimeout - static_cast<int>(clock.elapsed());
}

} // namespace

struct CInstanceServer::Connection {
    explicit Connection(int fd) : nFd(fd), notifier(fd, QSocketNotifier::Read) {}
    // Qt lets the notifier or the timer go from inside its own signal, which
    // is where a connection usually ends.
    ~Connection()
    {
        notifier.setEnabled(false); // before its descriptor goes
        close(nFd);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int nFd;
    QSocketNotifier notifier;
    QTimer deadline;
    QByteArray received;
};

CInstanceServer::CInstanceServer()
{
    retryTimer.setSingleShot(true);
    QObject::connect(&retryTimer, &QTimer::timeout, [this] {
        if (nListenFd >= 0)
            vSetAccepting(connections.size() < nMaxConnections);
        else if (!bOpenListener())
            retryTimer.start(nRetryMs);
    });
}

CInstanceServer::~CInstanceServer()
{
    vClose();
}

BOOL CInstanceServer::bListen(const QString& name, CWnd* target, std::function<bool(UINT, WPARAM, LPARAM)> bAllowed)
{
    vClose();
    strName = name;
    pTarget = target;
    fnAllowed = std::move(bAllowed);
    return bOpenListener();
}

BOOL CInstanceServer::bOpenListener()
{
    const ChannelAddress a = AddressOf(strName);
    nListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (nListenFd < 0)
        return FALSE;
    if (bind(nListenFd, reinterpret_cast<const sockaddr*>(&a.addr), a.nLength) != 0 || listen(nListenFd, 64) != 0) {
        const int nError = errno; // the caller reports why
        vCloseListener();
        errno = nError;
        return FALSE;
    }
    pAcceptNotifier = std::make_unique<QSocketNotifier>(nListenFd, QSocketNotifier::Read);
    QObject::connect(pAcceptNotifier.get(), &QSocketNotifier::activated, [this] { vAccept(); });
    vSetAccepting(connections.size() < nMaxConnections);
    return TRUE;
}

void CInstanceServer::vCloseListener()
{
    pAcceptNotifier.reset();
    if (nListenFd >= 0)
        close(nListenFd);
    nListenFd = -1;
}

void CInstanceServer::vClose()
{
    retryTimer.stop();
    vCloseListener();
    connections.clear();
}

void CInstanceServer::vSetAccepting(bool bOn)
{
    if (pAcceptNotifier)
        pAcceptNotifier->setEnabled(bOn && !retryTimer.isActive());
}

void CInstanceServer::vAccept()
{
    while (nListenFd >= 0 && connections.size() < nMaxConnections) {
        const int fd = accept4(nListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            // Out of descriptors: the waiting client would wake us at once
            // for ever, so rest a while. A socket that failed is made anew.
            if (errno != EMFILE && errno != ENFILE && errno != ENOBUFS && errno != ENOMEM)
                vCloseListener();
            retryTimer.start(nRetryMs);
            vSetAccepting(false);
            return;
        }
        if (!bPeerIsUser(fd)) {
            close(fd);
            continue;
        }
        auto connection = std::make_unique<Connection>(fd);
        Connection* c = connection.get();
        QObject::connect(&c->notifier, &QSocketNotifier::activated, [this, c] { vOnReadable(c); });
        c->deadline.setSingleShot(true);
        QObject::connect(&c->deadline, &QTimer::timeout, [this, c] { TakeConnection(c); });
        c->deadline.start(nConnectionDeadlineMs);
        connections.push_back(std::move(connection));
    }
    vSetAccepting(connections.size() < nMaxConnections);
}

std::unique_ptr<CInstanceServer::Connection> CInstanceServer::TakeConnection(Connection* c)
{
    std::unique_ptr<Connection> taken;
    for (auto it = connections.begin(); it != connections.end(); ++it) {
        if (it->get() == c) {
            taken = std::move(*it);
            connections.erase(it);
            break;
        }
    }
    if (taken) {
        taken->notifier.setEnabled(false);
        taken->deadline.stop();
    }
    vSetAccepting(connections.size() < nMaxConnections);
    return taken;
}

void CInstanceServer::vOnReadable(Connection* c)
{
    std::array<char, kRequestSize> buffer{};
    const ssize_t n = read(c->nFd, buffer.data(), static_cast<size_t>(kRequestSize - c->received.size()));
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        TakeConnection(c); // gone, or failed, before a whole request
        return;
    }
    c->received.append(buffer.data(), n);
    if (c->received.size() == kRequestSize)
        vServe(TakeConnection(c));
}

void CInstanceServer::vServe(std::unique_ptr<Connection> connection)
{
    // The connection is this function's alone from here: whatever the
    // handler's own event loops do (a message box), nothing else can close
    // or free it.
    const Request r = UnpackRequest(connection->received.constData());
    const bool bOk = pTarget && fnAllowed && fnAllowed(r.message, r.wParam, r.lParam);
    if (!r.bSend) {
        connection.reset();
        if (bOk)
            pTarget->PostMessage(r.message, r.wParam, r.lParam);
        return;
    }
    const LRESULT result = bOk ? pTarget->SendMessage(r.message, r.wParam, r.lParam) : 0;
    std::array<char, kAnswerSize> answer{};
    qToLittleEndian<qint64>(static_cast<qint64>(result), answer.data());
    // A client that left meanwhile gets nothing; no signal for it either.
    const ssize_t nSent = send(connection->nFd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    (void)nSent;
}

int ConnectToChannel(const QString& channelName, int nTimeoutMs)
{
    if (nTimeoutMs <= 0)
        return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // A blocking connect and send, bounded by the time-out: a full backlog
    // or a hung first instance costs no more than that.
    timeval tv{nTimeoutMs / 1000, (nTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    const ChannelAddress a = AddressOf(channelName);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&a.addr), a.nLength) != 0 || !bPeerIsUser(fd)) {
        close(fd);
        return -1;
    }
    return fd;
}

BOOL CRemoteWindow::bExchange(UINT message, WPARAM wParam, LPARAM lParam, bool bSend, UINT nTimeout, LRESULT* pResult) const
{
    QElapsedTimer clock;
    clock.start();
    const int timeout = static_cast<int>(nTimeout);
    const int fd = ConnectToChannel(strName, timeout);
    if (fd < 0)
        return FALSE;
    const auto request = PackRequest(Request{message, wParam, lParam, bSend});
    BOOL ok = send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
    std::array<char, kAnswerSize> answer{};
    size_t nGot = 0;
    while (ok && bSend && nGot < answer.size()) {
        pollfd p{fd, POLLIN, 0};
        const int left = MsLeft(clock, timeout);
        const int nReady = left > 0 ? poll(&p, 1, left) : 0;
        if (nReady < 0 && errno == EINTR)
            continue;
        const ssize_t n = nReady > 0 ? read(fd, answer.data() + nGot, answer.size() - nGot) : -1;
        ok = n > 0;
        if (ok)
            nGot += static_cast<size_t>(n);
    }
    close(fd);
    if (ok && bSend && pResult)
        *pResult = static_cast<LRESULT>(qFromLittleEndian<qint64>(answer.data()));
    return ok;
}

BOOL CRemoteWindow::bSendMessageTimeout(UINT message, WPARAM wParam, LPARAM lParam, UINT nTimeout, LRESULT* pResult) const
{
    return bExchange(message, wParam, lParam, true, nTimeout, pResult);
}

BOOL CRemoteWindow::bPostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return bExchange(message, wParam, lParam, false, 1000, nullptr);
}

void EnumWindows(const QString& channelName, const std::function<BOOL(const CRemoteWindow&)>& proc)
{
    CRemoteWindow candidate(channelName);
    proc(candidate);
}
