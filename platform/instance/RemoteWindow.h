// A window of another instance, reached through its local socket: the
// stand-in for a found top-level window and the messages sent to it.
#pragma once

#include "platform/base/Win32.h"

#include <QString>
#include <functional>

class CRemoteWindow {
public:
    explicit CRemoteWindow(const QString& channelName) : strName(channelName) {}

    // Sends and waits for the answer at most nTimeout ms; FALSE on time-out or error.
    BOOL bSendMessageTimeout(UINT message, WPARAM wParam, LPARAM lParam, UINT nTimeout, LRESULT* pResult) const;
    // Delivers without waiting for the window to handle it.
    BOOL bPostMessage(UINT message, WPARAM wParam, LPARAM lParam) const;

    const QString& Name() const { return strName; }

private:
    BOOL bExchange(UINT message, WPARAM wParam, LPARAM lParam, bool bSend, UINT nTimeout, LRESULT* pResult) const;
    QString strName;
};

// A connection to the channel's listener, checked to belong to this user;
// -1 when there is none within the time-out. The caller closes it.
int ConnectToChannel(const QString& channelName, int nTimeoutMs);

// Calls proc for each top-level window that another instance offers on the
// channel (at most one); stops when proc answers FALSE.
void EnumWindows(const QString& channelName, const std::function<BOOL(const CRemoteWindow&)>& proc);
