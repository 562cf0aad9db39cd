// Notification icons kept by owner and id, each a QSystemTrayIcon.
#include "platform/ui/NotifyIcon.h"

#include "platform/ui/NotificationBalloon.h"
#include "platform/ui/TrayBalloon.h"
#include "platform/ui/TrayStandIn.h"
#include "platform/ui/Wnd.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>
#include <QSystemTrayIcon>

#include <map>
#include <memory>
#include <utility>

namespace {

using IconKey = std::pair<CWnd*, UINT>;
struct IconEntry {
    std::unique_ptr<QSystemTrayIcon> pIcon;
    std::unique_ptr<CNotificationBalloon> pBalloon;
    std::unique_ptr<CTrayBalloon> pOwnBalloon;
    std::map<DWORD, QIcon> balloonIcons;
    BOOL bStandIn = FALSE; // shown by the route's stand-in instead
};
std::map<IconKey, IconEntry> g_icons;
CTrayStandIn* g_pStandIn = nullptr;
BOOL g_bStandInMenuPending = FALSE;

// Without a notification area, a click on the stand-in's icon asks for the
// menu, as a right click on a tray icon does.
BOOL bShowOnStandIn(IconEntry& entry, const NOTIFYICONDATAW& nid, UINT uCallback)
{
    if (!g_pStandIn || !uCallback || bNotifyAreaPresent())
        return FALSE;
    CWnd* owner = nid.hWnd;
    const UINT uID = nid.uID;
    entry.bStandIn = g_pStandIn->bShowIcon(nid.szTip.left(NID_TIP_CHARS), [=] {
        g_bStandInMenuPending = TRUE;
        owner->SendMessage(uCallback, uID, WM_RBUTTONUP);
        g_bStandInMenuPending = FALSE;
    });
    return entry.bStandIn;
}

LPARAM MouseMessageOf(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return WM_LBUTTONDOWN;
    case QSystemTrayIcon::DoubleClick:
        return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context:
        return WM_RBUTTONUP;
    case QSystemTrayIcon::MiddleClick:
        return WM_MBUTTONUP;
    default:
        return 0;
    }
}

QStyle::StandardPixmap BalloonIconOf(DWORD dwInfoFlags)
{
    switch (dwInfoFlags) {
    case NIIF_WARNING:
        return QStyle::SP_MessageBoxWarning;
    case NIIF_ERROR:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

// The balloon's icon, made once per kind.
QIcon BalloonIcon(std::map<DWORD, QIcon>& icons, DWORD dwInfoFlags)
{
    if (dwInfoFlags != NIIF_INFO && dwInfoFlags != NIIF_WARNING && dwInfoFlags != NIIF_ERROR)
        return {};
    auto it = icons.find(dwInfoFlags);
    if (it == icons.end())
        it = icons.emplace(dwInfoFlags, QApplication::style()->standardIcon(BalloonIconOf(dwInfoFlags))).first;
    return it->second;
}

void vApply(IconEntry& entry, const NOTIFYICONDATAW& nid)
{
    QSystemTrayIcon& icon = *entry.pIcon;
    if (nid.uFlags & NIF_ICON)
        icon.setIcon(nid.hIcon);
    if (nid.uFlags & NIF_TIP)
        icon.setToolTip(nid.szTip.left(NID_TIP_CHARS));
    if (nid.uFlags & NIF_INFO) {
        QString title, text;
        CopyToField(title, nid.szInfoTitle, NID_INFO_TITLE_CHARS);
        CopyToField(text, nid.szInfo, NID_INFO_CHARS);
        const int nTimeout = static_cast<int>(nid.uTimeout);
        if (entry.bStandIn && g_pStandIn) {
            g_pStandIn->vNotify(title, text);
            return;
        }
        if (entry.pBalloon && entry.pBalloon->bShow(title, text, nTimeout))
            return;
        const QIcon kind = BalloonIcon(entry.balloonIcons, nid.dwInfoFlags);
        // A StatusNotifierItem host shows the toolkit's messages itself;
        // beside an XEmbed tray the toolkit would draw a new window each time.
        if (entry.pOwnBalloon && !(entry.pBalloon && entry.pBalloon->bHostShowsMessages()))
            entry.pOwnBalloon->vShow(kind, title, text, icon.geometry(), nTimeout);
        else
            icon.showMessage(title, text, kind, nTimeout);
    }
}

BOOL bAdd(const NOTIFYICONDATAW& nid)
{
    const IconKey key{nid.hWnd, nid.uID};
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !nid.hWnd || g_icons.count(key))
        return FALSE;
    IconEntry entry;
    entry.pIcon = std::make_unique<QSystemTrayIcon>();
    QSystemTrayIcon* icon = entry.pIcon.get();
    CWnd* owner = nid.hWnd;
    const UINT uID = nid.uID;
    const UINT uCallback = (nid.uFlags & NIF_MESSAGE) ? nid.uCallbackMessage : 0;
    if (uCallback) {
        QObject::connect(icon, &QSystemTrayIcon::activated, [=](QSystemTrayIcon::ActivationReason reason) {
            if (const LPARAM msg = MouseMessageOf(reason))
                owner->PostMessage(uCallback, uID, msg);
        });
        auto onClick = [=] { owner->PostMessage(uCallback, uID, NIN_BALLOONUSERCLICK); };
        QObject::connect(icon, &QSystemTrayIcon::messageClicked, onClick);
        entry.pOwnBalloon = std::make_unique<CTrayBalloon>(onClick);
        entry.pBalloon = std::make_unique<CNotificationBalloon>(onClick, QDBusConnection::sessionBus());
    }
    const BOOL bStandIn = bShowOnStandIn(entry, nid, uCallback);
    vApply(entry, nid);
    // Shown even without a host: Qt puts the icon in place when one starts.
    if (!bStandIn)
        icon->show();
    g_icons[key] = std::move(entry);
    // An icon on the stand-in counts as a notification area.
    return bNotifyAreaPresent();
}

} // namespace

void CopyToField(QString& field, const QString& text, int nMax)
{
    qsizetype n = std::min<qsizetype>(text.size(), nMax);
    if (n < text.size() && n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    field = text.left(n);
}

BOOL Shell_NotifyIconW(DWORD dwMessage, const NOTIFYICONDATAW* pnid)
{
    if (!pnid)
        return FALSE;
    if (dwMessage == NIM_ADD)
        return bAdd(*pnid);
    // Any other message is about an icon that is there.
    const auto it = g_icons.find(IconKey{pnid->hWnd, pnid->uID});
    if (it == g_icons.end())
        return FALSE;
    switch (dwMessage) {
    case NIM_MODIFY:
        vApply(it->second, *pnid);
        return TRUE;
    case NIM_DELETE:
        if (it->second.bStandIn && g_pStandIn)
            g_pStandIn->vRemoveIcon();
        g_icons.erase(it);
        return TRUE;
    default:
        return FALSE;
    }
}

void SetTrayStandIn(CTrayStandIn* pStandIn)
{
    g_pStandIn = pStandIn;
}

CTrayStandIn* GetTrayStandIn()
{
    return g_pStandIn;
}

BOOL bTakeStandInMenuPending()
{
    const BOOL bPending = g_bStandInMenuPending;
    g_bStandInMenuPending = FALSE;
    return bPending;
}

BOOL bNotifyAreaPresent()
{
    for (const auto& [key, entry] : g_icons)
        if (entry.bStandIn)
            return TRUE;
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QSystemTrayIcon::isSystemTrayAvailable();
}
