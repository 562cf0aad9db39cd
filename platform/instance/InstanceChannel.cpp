// Both ends of the single-instance channel. A request is one fixed-size
// record: message, wParam, lParam and whether the sender waits; a sent
// request is answered with the handler's result.
#include "platform/instance/InstanceServer.h"
#include "platform/instance/RemoteWindow.h"

#include "platform/instance/RuntimeFolder.h"
#include "platform/ui/Wnd.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include <array>

namespace {

constexpr int kRequestSize = 4 + 8 + 8 + 1;
constexpr int kAnswerSize = 8;

QByteArray PackRequest(UINT message, WPARAM wParam, LPARAM lParam, bool bSend)
{
    QByteArray out(kRequestSize, '\0');
    qToLittleEndian<quint32>(message, out.data());
    qToLittleEndian<quint64>(static_cast<quint64>(wParam), out.data() + 4);
    qToLittleEndian<qint64>(static_cast<qint64>(lParam), out.data() + 12);
    out[20] = bSend ? 1 : 0;
    return out;
}

// Waits for n bytes with what is left of the time-out.
bool bReadExactly(QLocalSocket& s, char* out, int n, const QElapsedTimer& clock, int timeout)
{
    while (s.bytesAvailable() < n) {
        int left = timeout - static_cast<int>(clock.elapsed());
        if (left <= 0 || !s.waitForReadyRead(left))
            return false;
    }
    return s.read(out, n) == n;
}

} // namespace

CInstanceServer::CInstanceServer() = default;

CInstanceServer::~CInstanceServer()
{
    vClose();
}

QString CInstanceServer::SocketPath(const QString& name)
{
    return GetRuntimeFolder() + '/' + name + QStringLiteral(".sock");
}

BOOL CInstanceServer::bListen(const QString& name, CWnd* target, std::function<bool(UINT, WPARAM, LPARAM)> bAllowed)
{
    vClose();
    pTarget = target;
    fnAllowed = std::move(bAllowed);
    const QString path = SocketPath(name);
    // Only the lock holder listens, so a socket file left here is stale.
    QLocalServer::removeServer(path);
    pServer = std::make_unique<QLocalServer>();
    pServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!pServer->listen(path)) {
        pServer.reset();
        return FALSE;
    }
    QObject::connect(pServer.get(), &QLocalServer::newConnection, pServer.get(), [this] {
        while (QLocalSocket* s = pServer->nextPendingConnection()) {
            QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            QObject::connect(s, &QLocalSocket::readyRead, s, [this, s] {
                if (s->bytesAvailable() < kRequestSize)
                    return;
                std::array<char, kRequestSize> req{};
                if (s->read(req.data(), kRequestSize) != kRequestSize)
                    return;
                UINT message = qFromLittleEndian<quint32>(req.data());
                auto wParam = static_cast<WPARAM>(qFromLittleEndian<quint64>(req.data() + 4));
                auto lParam = static_cast<LPARAM>(qFromLittleEndian<qint64>(req.data() + 12));
                bool bSend = req[20] != 0;
                bool ok = pTarget && fnAllowed && fnAllowed(message, wParam, lParam);
                if (!bSend) {
                    s->disconnectFromServer();
                    if (ok)
                        pTarget->PostMessage(message, wParam, lParam);
                    return;
                }
                LRESULT result = ok ? pTarget->SendMessage(message, wParam, lParam) : 0;
                QByteArray answer(kAnswerSize, '\0');
                qToLittleEndian<qint64>(static_cast<qint64>(result), answer.data());
                s->write(answer);
                s->flush();
                s->disconnectFromServer();
            });
        }
    });
    return TRUE;
}

void CInstanceServer::vClose()
{
    if (pServer)
        pServer->close();
    pServer.reset();
}

BOOL CRemoteWindow::bExchange(UINT message, WPARAM wParam, LPARAM lParam, bool bSend, UINT nTimeout, LRESULT* pResult) const
{
    QElapsedTimer clock;
    clock.start();
    const int timeout = static_cast<int>(nTimeout);
    QLocalSocket s;
    s.connectToServer(CInstanceServer::SocketPath(strName));
    if (!s.waitForConnected(timeout))
        return FALSE;
    s.write(PackRequest(message, wParam, lParam, bSend));
    while (s.bytesToWrite() > 0) {
        int left = timeout - static_cast<int>(clock.elapsed());
        if (left <= 0 || !s.waitForBytesWritten(left))
            return FALSE;
    }
    if (!bSend)
        return TRUE;
    std::array<char, kAnswerSize> answer{};
    if (!bReadExactly(s, answer.data(), kAnswerSize, clock, timeout))
        return FALSE;
    if (pResult)
        *pResult = static_cast<LRESULT>(qFromLittleEndian<qint64>(answer.data()));
    return TRUE;
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
