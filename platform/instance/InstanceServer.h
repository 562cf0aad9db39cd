// The first instance's end of the single-instance channel: a local socket
// named after the instance message, answering requests as its window would.
// Only the user's own processes are served. A connection that sends nothing
// is closed soon, and when all slots are taken a new connection pushes out
// the oldest idle one, so idle or hostile clients can neither hold the
// channel nor use up the process's descriptors.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class CWnd;
class QSocketNotifier;

class CInstanceServer {
public:
    // A client that has sent nothing by then is dropped; one that has begun
    // has until the second deadline for its whole request.
    static constexpr int nIdleDeadlineMs = 250;
    static constexpr int nConnectionDeadlineMs = 1000;
    static constexpr size_t nMaxConnections = 16;
    // A listener that could not be made is tried again after this, doubling
    // up to the longest.
    static constexpr int nRetryMs = 1000;
    static constexpr int nLongestRetryMs = 60000;

    CInstanceServer();
    ~CInstanceServer();
    CInstanceServer(const CInstanceServer&) = delete;
    CInstanceServer& operator=(const CInstanceServer&) = delete;

    // Makes the listening socket without serving yet: clients that come
    // during the start wait in its backlog. Needs no event loop.
    BOOL bOpen(const QString& name);
    // Serves requests to pTarget (opening the socket when bOpen did not);
    // only the messages that bAllowed accepts are delivered (the rest are
    // answered 0 and dropped). On FALSE it keeps trying in the background.
    BOOL bListen(const QString& name, CWnd* pTarget, std::function<bool(UINT, WPARAM, LPARAM)> bAllowed);
    void vClose();

private:
    struct Connection;

    BOOL bOpenListener();
    void vCloseListener();
    void vStartServing();
    void vRetryLater();
    void vAccept();
    void vAdd(int fd);
    BOOL bEvictIdle();
    void vOnReadable(Connection* pConnection);
    void vOnDeadline(Connection* pConnection);
    std::unique_ptr<Connection> TakeConnection(Connection* pConnection);
    void vServe(std::unique_ptr<Connection> connection);

    QString strName;
    int nListenFd = -1;
    // The socket file this listener made (its folder, name and inode), removed at the end.
    QString strSocketPath;
    unsigned long long nSocketInode = 0;
    std::unique_ptr<QSocketNotifier> pAcceptNotifier;
    std::unique_ptr<QSocketNotifier> pRetiredNotifier; // stopped from its own signal
    std::vector<std::unique_ptr<Connection>> connections;
    QTimer retryTimer;
    int nNextRetryMs = nRetryMs;
    CWnd* pTarget = nullptr;
    std::function<bool(UINT, WPARAM, LPARAM)> fnAllowed;
};
