// The first instance's end of the single-instance channel: a local socket
// named after the instance message, answering requests as its window would.
// Only the user's own processes are served; each connection has a short
// deadline and their number a cap, so idle or hostile clients can neither
// hold the channel nor use up the process's descriptors.
#pragma once

#include "platform/Win32.h"

#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class CWnd;
class QSocketNotifier;

class CInstanceServer {
public:
    // A client that has not sent its whole request by then is dropped.
    static constexpr int nConnectionDeadlineMs = 1000;
    static constexpr size_t nMaxConnections = 16;
    // After a failed accept (no descriptors left), listening resumes after this.
    static constexpr int nRetryMs = 1000;

    CInstanceServer();
    ~CInstanceServer();
    CInstanceServer(const CInstanceServer&) = delete;
    CInstanceServer& operator=(const CInstanceServer&) = delete;

    // Listens for requests to pTarget; only the messages that bAllowed
    // accepts are delivered (the rest are answered 0 and dropped).
    BOOL bListen(const QString& name, CWnd* pTarget, std::function<bool(UINT, WPARAM, LPARAM)> bAllowed);
    void vClose();

private:
    struct Connection;

    BOOL bOpenListener();
    void vCloseListener();
    void vAccept();
    void vSetAccepting(bool bOn);
    void vOnReadable(Connection* pConnection);
    std::unique_ptr<Connection> TakeConnection(Connection* pConnection);
    void vServe(std::unique_ptr<Connection> connection);

    QString strName;
    int nListenFd = -1;
    std::unique_ptr<QSocketNotifier> pAcceptNotifier;
    std::vector<std::unique_ptr<Connection>> connections;
    QTimer retryTimer;
    CWnd* pTarget = nullptr;
    std::function<bool(UINT, WPARAM, LPARAM)> fnAllowed;
};
