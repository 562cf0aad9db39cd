// The update check's worker: download, compare, post. The description is
// parsed where it was received, in memory; no file is ever written.
#include "update/AutoUpdate.h"

#include "platform/storage/Ini.h"
#include "platform/ui/Wnd.h"

CAutoUpdate g_autoUpdate;

namespace {

constexpr DWORD kValueChars = 260;
constexpr DWORD kInfoChars = 2048;

// The value, or empty when absent; cut to nChars - 1 characters.
QString ReadValue(const QByteArray& ini, const QString& section, const QString& key, DWORD nChars)
{
    QString value;
    GetProfileStringFromData(ini, section, key, QString(), value, nChars);
    return value;
}

} // namespace

CAutoUpdate::~CAutoUpdate()
{
    vStop();
}

BOOL CAutoUpdate::StartCheck(BOOL bThread, const QString& section, const QString& url, const QString& curVersion)
{
    if (worker.joinable())
        return bNotified.load();
    strCurVersion = curVersion;
    strSection = section;
    strUrl = url;
    if (bThread)
        worker = std::thread([this] { RunCheck(); });
    else
        RunCheck();
    return bNotified.load();
}

void CAutoUpdate::vStop()
{
    bStopped.store(true);
    inet.vAbort();
    if (worker.joinable())
        worker.join();
}

void CAutoUpdate::RunCheck()
{
    strInfoID.clear();
    if (bStopped.load() || inet.OpenInternet(FALSE) != 0)
        return;
    QByteArray bytes;
    DWORD size = 0;
    if (inet.Download(strUrl, bytes, size, TRUE) != INET_OK)
        return;
    vEvaluate(bytes);
}

void CAutoUpdate::vEvaluate(const QByteArray& ini)
{
    strRemoteVersion = ReadValue(ini, strSection, QStringLiteral("Version"), kValueChars);
    if (!strRemoteVersion.isEmpty() && strRemoteVersion.compare(strCurVersion, Qt::CaseInsensitive) != 0) {
        const QString notify = ReadValue(ini, strSection, QStringLiteral("Notify"), kValueChars);
        if (notify.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0) {
            bNotified.store(TRUE);
            const QString file = ReadValue(ini, strSection, QStringLiteral("NewVerFile"), kValueChars);
            if (!file.isEmpty())
                strNewVerFile = file;
            const QString info = ReadValue(ini, strSection, QStringLiteral("NewInfo"), kInfoChars);
            if (!info.isEmpty())
                strNewInfo = info;
            vPost(WM_UPDATE_NEWVERSION);
        }
    }
    if (bNotified.load())
        return;
    const QString info = QStringLiteral("Info");
    if (ReadValue(ini, info, QStringLiteral("Valid"), kValueChars).compare(QLatin1String("True"), Qt::CaseInsensitive) != 0)
        return;
    for (auto [key, member, chars] : {std::tuple{QStringLiteral("InfoID"), &strInfoID, kValueChars},
             std::tuple{QStringLiteral("NewVerFile"), &strNewVerFile, kValueChars},
             std::tuple{QStringLiteral("NewInfo"), &strNewInfo, kInfoChars}}) {
        const QString value = ReadValue(ini, info, key, chars);
        if (!value.isEmpty())
            *member = value;
    }
    vPost(WM_UPDATE_INFO);
}

void CAutoUpdate::vPost(UINT message)
{
    if (hNotifyWnd && !bStopped.load())
        hNotifyWnd->PostMessage(message, 0, 0);
}
