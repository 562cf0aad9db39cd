// A window of another instance, reached through its local socket: the
// stand-in for a found top-level window and the messages sent to it.
#pragma once

#include "platform/Win32.h"

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

// Calls proc for each top-level window that another instance offers on the
// channel (at most one); stops when proc answers FALSE.
void EnumWindows(const QString& channelName, const std::function<BOOL(const CRemoteWindow&)>& proc);
