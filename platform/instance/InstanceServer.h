// The first instance's end of the single-instance channel: a local socket
// named after the instance message, answering requests as its window would.
#pragma once

#include "platform/Win32.h"

#include <QString>
#include <functional>
#include <memory>

class CWnd;
class QLocalServer;

class CInstanceServer {
public:
    CInstanceServer();
    ~CInstanceServer();
    CInstanceServer(const CInstanceServer&) = delete;
    CInstanceServer& operator=(const CInstanceServer&) = delete;

    // Listens for requests to pTarget; only the messages that bAllowed
    // accepts are delivered (the rest are answered 0 and dropped).
    BOOL bListen(const QString& name, CWnd* pTarget, std::function<bool(UINT, WPARAM, LPARAM)> bAllowed);
    void vClose();

    // The socket path for a channel name.
    static QString SocketPath(const QString& name);

private:
    std::unique_ptr<QLocalServer> pServer;
    CWnd* pTarget = nullptr;
    std::function<bool(UINT, WPARAM, LPARAM)> fnAllowed;
};
