// The once-per-run update check: fetches the update description in a worker
// thread, compares the version it announces with the running one, and tells
// the notify window by a posted message.
#pragma once

#include "update/Inet.h"
#include "ui/MessageIds.h"

#include <QString>
#include <atomic>
#include <thread>

class CWnd;

class CAutoUpdate {
public:
    CAutoUpdate() = default;
    virtual ~CAutoUpdate();
    CAutoUpdate(const CAutoUpdate&) = delete;
    CAutoUpdate& operator=(const CAutoUpdate&) = delete;

    // Runs the check, in a worker thread when bThread is TRUE; answers
    // bNotified as it stands on return. A check already running is left alone.
    BOOL StartCheck(BOOL bThread, const QString& section, const QString& url, const QString& curVersion);
    void RunCheck();
    // Ends a running check at once and joins its thread; the notify window
    // hears nothing more. Safe to call when nothing runs.
    void vStop();
    // Compares the downloaded description; public for the tests.
    void vEvaluate(const QByteArray& ini);

    // Set by the UI thread before the check starts.
    CWnd* hNotifyWnd = nullptr;
    QString strUrl;
    QString strSection;
    // Written by the worker before it posts; read by the UI thread after.
    QString strNewVerFile;
    QString strNewInfo;
    QString strRemoteVersion;
    CInet inet;
    QString strCurVersion;
    std::atomic<BOOL> bNotified{FALSE};
    QString strInfoID;

private:
    void vPost(UINT message);

    std::thread worker;
    std::atomic<bool> bStopped{false};
};

extern CAutoUpdate g_autoUpdate;
