#include "platform/gnome/GnomeRoute.h"

#include "platform/gnome/GnomeAccelerator.h"
#include "platform/gnome/GnomeOverlay.h"
#include "platform/gnome/GnomeShellLink.h"
#include "platform/gnome/QuietInputSource.h"
#include "platform/ui/Wnd.h"

#include <QCoreApplication>

CGnomeRoute::CGnomeRoute() : tray([this] { return Link(); })
{
    SetTrayStandIn(&tray);
}

CGnomeRoute::~CGnomeRoute()
{
    if (GetTrayStandIn() == &tray)
        SetTrayStandIn(nullptr);
}

CGnomeShellLink* CGnomeRoute::Link() const
{
    if (!pLink && QCoreApplication::instance())
        pLink = std::make_unique<CGnomeShellLink>();
    return pLink.get();
}

QString CGnomeRoute::WhyNoExtension()
{
    const QString uuid = QString::fromLatin1(CGnomeShellLink::kUuid);
    return QStringLiteral("its GNOME Shell extension is not enabled; run \"gnome-extensions enable %1\" "
                          "(after installing it, log out and in again first)")
        .arg(uuid);
}

BOOL CGnomeRoute::bCanFollow(QString& strWhy) const
{
    CGnomeShellLink* link = Link();
    if (link && link->bPresent())
        return TRUE;
    strWhy = WhyNoExtension();
    return FALSE;
}

std::unique_ptr<COverlayBackend> CGnomeRoute::MakeOverlay()
{
    CGnomeShellLink* link = Link();
    if (!link)
        return nullptr;
    return std::make_unique<CGnomeOverlay>(*link);
}

std::unique_ptr<CInputSource> CGnomeRoute::MakeInput(CInputDevice::Kind kind)
{
    // Keys are never read globally on this route. The extension moves the
    // picture inside the shell, so no motion crosses the bus: the mouse
    // reader has no records and sleeps until it is woken for the end.
    if (kind != CInputDevice::KIND_MOUSE)
        return nullptr;
    return std::make_unique<CQuietInputSource>();
}

BOOL CGnomeRoute::bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk)
{
    // One combination at a time, as the program holds one.
    if (pHotKeyTarget && (pHotKeyTarget != target || nHotKeyId != id))
        return FALSE;
    CGnomeShellLink* link = Link();
    if (!link || !link->bPresent()) {
        if (!CX11Route::bRegisterHotKey(target, id, fsModifiers, vk))
            return FALSE;
        bHotKeyGrabbed = TRUE;
    } else {
        const QString accel = GnomeAccelerator(fsModifiers, vk);
        if (accel.isEmpty() || !link->bSetHotKey(accel))
            return FALSE;
        link->onHotKey = [this] {
            if (pHotKeyTarget)
                pHotKeyTarget->PostMessage(WM_HOTKEY, static_cast<WPARAM>(nHotKeyId),
                    MAKELPARAM(static_cast<int>(nHotKeyMods), static_cast<int>(nHotKeyVk)));
        };
        bHotKeyGrabbed = FALSE;
    }
    pHotKeyTarget = target;
    nHotKeyId = id;
    nHotKeyMods = fsModifiers;
    nHotKeyVk = vk;
    return TRUE;
}

BOOL CGnomeRoute::bUnregisterHotKey(CWnd* target, int id)
{
    if (!pHotKeyTarget || pHotKeyTarget != target || nHotKeyId != id)
        return FALSE;
    pHotKeyTarget = nullptr;
    if (bHotKeyGrabbed)
        return CX11Route::bUnregisterHotKey(target, id);
    if (CGnomeShellLink* link = Link()) {
        link->onHotKey = nullptr;
        link->bSetHotKey(QString());
    }
    return TRUE;
}

BOOL CGnomeRoute::bCursorPos(int& x, int& y)
{
    CGnomeShellLink* link = Link();
    if (link && link->bPointer(x, y))
        return TRUE;
    // Without the extension XWayland knows the pointer over X11 windows.
    return CX11Route::bCursorPos(x, y);
}

void CGnomeRoute::vEnd()
{
    // The extension also drops all of it when our bus connection goes.
    tray.vRemoveIcon();
    if (pLink) {
        if (pHotKeyTarget && !bHotKeyGrabbed)
            pLink->bSetHotKey(QString());
        pLink->vHide();
    }
    pHotKeyTarget = nullptr;
    pLink.reset();
}

std::unique_ptr<CDesktopRoute> MakeGnomeRoute()
{
    return std::make_unique<CGnomeRoute>();
}
