// Both ends of the single-instance channel. A request is one fixed-size
// record: message, wParam, lParam and whether the sender waits; a sent
// request is answered with the handler's result. The socket is a file with a
// short fixed name in a folder only the user can reach, so no one else can
// take its name; both ends also check that the other is the same user.
#include "platform/instance/InstanceServer.h"
#include "platform/instance/RemoteWindow.h"

#include "platform/instance/InstanceLock.h"
#include "platform/instance/RuntimeFolder.h"
#include "platform/ui/Wnd.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kRequestSize = 4 + 8 + 8 + 1;
constexpr int kAnswerSize = 8;
constexpr int kTokenSize = 32;
// Connections taken from the backlog per wake-up, so that a flood of them
// cannot keep the UI thread in here.
constexpr int kAcceptsPerWake = 64;

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

// The abstract name's secret, kept in the lock file (the user's own, mode
// 0600): only a process of the user can read it, so no one else can bind
// the name beforehand. The listener makes a new one each time.
QByteArray ChannelToken(const QString& name, bool bNew)
{
    const int fd = OpenOwnLockFile(GetRuntimeFolder(), name, bNew ? O_RDWR : O_RDONLY);
    if (fd < 0)
        return {};
    QByteArray token(kTokenSize, '\0');
    bool bOk = false;
    if (bNew) {
        std::array<quint32, kTokenSize / 8> random{};
        QRandomGenerator::system()->fillRange(random.data(), random.size());
        token = QByteArray(reinterpret_cast<const char*>(random.data()), sizeof random).toHex();
        bOk = fchmod(fd, 0600) == 0 && ftruncate(fd, 0) == 0 && pwrite(fd, token.constData(), kTokenSize, 0) == kTokenSize;
    } else {
        bOk = pread(fd, token.data(), kTokenSize, 0) == kTokenSize;
    }
    close(fd);
    return bOk ? token : QByteArray();
}

// Where the channel is: the socket file in the channel folder, reached
// through the folder's descriptor when the folder's path is too long for a
// socket address; with no such folder, an abstract name with a secret part.
class CChannelAddress {
public:
    CChannelAddress(const QString& name, bool bServer)
    {
        addr.sun_family = AF_UNIX;
        const QString folder = GetChannelFolder();
        if (folder.isEmpty()) {
            vSetAbstract(name, bServer);
            return;
        }
        const QByteArray file = "lumicue-"
            + QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(16) + ".sock";
        strPath = folder + '/' + QString::fromLatin1(file);
        QByteArray path = QFile::encodeName(strPath);
        if (static_cast<size_t>(path.size()) >= sizeof addr.sun_path) {
            nDirFd = open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            path = "/proc/self/fd/" + QByteArray::number(nDirFd) + '/' + file;
        }
        if (nDirFd == -1 || static_cast<size_t>(path.size()) >= sizeof addr.sun_path)
            return;
        std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
        nLength = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    }
    ~CChannelAddress()
    {
        if (nDirFd >= 0)
            close(nDirFd);
    }
    CChannelAddress(const CChannelAddress&) = delete;
    CChannelAddress& operator=(const CChannelAddress&) = delete;

    const sockaddr* Addr() const { return reinterpret_cast<const sockaddr*>(&addr); }

    sockaddr_un addr{};
    socklen_t nLength = 0; // 0: there is no address
    QString strPath;       // the socket file; empty for an abstract name

private:
    void vSetAbstract(const QString& name, bool bServer)
    {
        const QByteArray token = ChannelToken(name, bServer);
        if (token.isEmpty())
            return;
        const QByteArray abstractName = "lumicue-" + QByteArray::number(getuid()) + '-' + token;
        std::memcpy(addr.sun_path + 1, abstractName.constData(), static_cast<size_t>(abstractName.size()));
        nLength = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());
    }

    int nDirFd = -2; // -2: not needed
};

BOOL bPeerIsUser(int fd)
{
    ucred cred{};
    socklen_t nLength = sizeof cred;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &nLength) == 0 && cred.uid == getuid();
}

// The inode of the socket file at path; 0 for anything else or nothing.
unsigned long long nInodeOf(const QString& path)
{
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISSOCK(st.st_mode))
        return 0;
    return st.st_ino;
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
        if (nListenFd < 0 && !bOpenListener()) {
            vRetryLater();
            return;
        }
        nNextRetryMs = nRetryMs;
        vStartServing();
    });
}

CInstanceServer::~CInstanceServer()
{
    vClose();
}

BOOL CInstanceServer::bOpen(const QString& name)
{
    if (nListenFd >= 0 && name == strName)
        return TRUE;
    vClose();
    strName = name;
    return bOpenListener();
}

BOOL CInstanceServer::bListen(const QString& name, CWnd* target, std::function<bool(UINT, WPARAM, LPARAM)> bAllowed)
{
    const BOOL bOk = bOpen(name);
    pTarget = target;
    fnAllowed = std::move(bAllowed);
    if (!bOk) {
        const int nError = errno; // the caller reports why
        vRetryLater();
        errno = nError;
        return FALSE;
    }
    vStartServing();
    return TRUE;
}

BOOL CInstanceServer::bOpenListener()
{
    const CChannelAddress a(strName, true);
    if (a.nLength == 0) {
        errno = ENOENT;
        return FALSE;
    }
    // Only the listener holding the lock gets here: a socket file left by an
    // instance that died is its own to replace.
    if (nInodeOf(a.strPath) != 0)
        unlink(QFile::encodeName(a.strPath).constData());
    nListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (nListenFd < 0)
        return FALSE;
    if (bind(nListenFd, a.Addr(), a.nLength) != 0 || listen(nListenFd, 64) != 0) {
        const int nError = errno;
        vCloseListener();
        errno = nError;
        return FALSE;
    }
    strSocketPath = a.strPath;
    nSocketInode = nInodeOf(strSocketPath);
    return TRUE;
}

void CInstanceServer::vCloseListener()
{
    pAcceptNotifier.reset();
    if (nListenFd >= 0)
        close(nListenFd);
    nListenFd = -1;
    // Only our own socket file: a later instance may have made its own.
    if (nSocketInode != 0 && nInodeOf(strSocketPath) == nSocketInode)
        unlink(QFile::encodeName(strSocketPath).constData());
    strSocketPath.clear();
    nSocketInode = 0;
}

void CInstanceServer::vClose()
{
    retryTimer.stop();
    vCloseListener();
    connections.clear();
    pTarget = nullptr;
}

void CInstanceServer::vStartServing()
{
    if (nListenFd < 0 || pAcceptNotifier)
        return;
    pRetiredNotifier.reset();
    pAcceptNotifier = std::make_unique<QSocketNotifier>(nListenFd, QSocketNotifier::Read);
    // Called through the pointer while descriptors are free: the sanitizer
    // build checks an object's type at its first such call with a pipe, and
    // the calls in vAccept come when the descriptors may all be in use.
    pAcceptNotifier->setEnabled(true);
    QObject::connect(pAcceptNotifier.get(), &QSocketNotifier::activated, [this] { vAccept(); });
    vAccept(); // those that waited in the backlog
}

void CInstanceServer::vRetryLater()
{
    retryTimer.start(nNextRetryMs);
    nNextRetryMs = std::min(nNextRetryMs * 2, nLongestRetryMs);
}

void CInstanceServer::vAccept()
{
    for (int i = 0; i < kAcceptsPerWake && nListenFd >= 0; ++i) {
        const int fd = accept4(nListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            vAdd(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        // Out of descriptors: an idle connection makes room; with none, the
        // waiting client would wake us at once for ever, so rest a while.
        const bool bNoRoom = errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM;
        if (bNoRoom && bEvictIdle())
            continue;
        // A socket that failed otherwise is made anew.
        // This may run inside the notifier's own signal: it is set aside,
        // not deleted, until serving starts again.
        if (pAcceptNotifier) {
            pAcceptNotifier->setEnabled(false);
            pRetiredNotifier = std::move(pAcceptNotifier);
        }
        if (!bNoRoom)
            vCloseListener();
        vRetryLater();
        return;
    }
}

void CInstanceServer::vAdd(int fd)
{
    if (!bPeerIsUser(fd)) {
        close(fd);
        return;
    }
    // A new request always gets a slot: the oldest idle connection goes.
    if (connections.size() >= nMaxConnections && !bEvictIdle())
        TakeConnection(connections.front().get());
    auto connection = std::make_unique<Connection>(fd);
    Connection* c = connection.get();
    QObject::connect(&c->notifier, &QSocketNotifier::activated, [this, c] { vOnReadable(c); });
    c->deadline.setSingleShot(true);
    QObject::connect(&c->deadline, &QTimer::timeout, [this, c] { vOnDeadline(c); });
    c->deadline.start(nIdleDeadlineMs);
    connections.push_back(std::move(connection));
    // A client usually sent its request before we got here.
    vOnReadable(c);
}

BOOL CInstanceServer::bEvictIdle()
{
    // Oldest first; one that has its request waiting is served instead,
    // which frees its slot as well.
    for (size_t i = 0; i < connections.size(); ++i) {
        Connection* c = connections[i].get();
        if (!c->received.isEmpty())
            continue;
        vOnReadable(c);
        const bool bStill = std::any_of(connections.begin(), connections.end(),
            [c](const std::unique_ptr<Connection>& p) { return p.get() == c; });
        if (!bStill)
            return true;
        if (c->received.isEmpty()) {
            TakeConnection(c);
            return true;
        }
    }
    return false;
}

void CInstanceServer::vOnDeadline(Connection* c)
{
    if (c->received.isEmpty()) {
        TakeConnection(c);
        return;
    }
    // It has begun: the rest of the whole request's time.
    const int nLeft = nConnectionDeadlineMs - nIdleDeadlineMs;
    if (c->deadline.interval() == nIdleDeadlineMs && nLeft > 0)
        c->deadline.start(nLeft);
    else
        TakeConnection(c);
}

std::unique_ptr<CInstanceServer::Connection> CInstanceServer::TakeConnection(Connection* c)
{
    const auto it = std::find_if(connections.begin(), connections.end(),
        [c](const std::unique_ptr<Connection>& p) { return p.get() == c; });
    if (it == connections.end())
        return nullptr;
    std::unique_ptr<Connection> taken = std::move(*it);
    connections.erase(it);
    taken->notifier.setEnabled(false);
    taken->deadline.stop();
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
    const CChannelAddress a(channelName, false);
    if (a.nLength == 0)
        return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // A blocking connect and send, bounded by the time-out: a full backlog
    // or a hung first instance costs no more than that.
    timeval tv{nTimeoutMs / 1000, (nTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    if (connect(fd, a.Addr(), a.nLength) != 0 || !bPeerIsUser(fd)) {
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
        const int left = timeout - static_cast<int>(clock.elapsed());
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
