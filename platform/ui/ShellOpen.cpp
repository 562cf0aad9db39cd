// Addresses opened through Qt's desktop services (xdg-open on Linux).
#include "platform/ui/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

ShellOpenHook g_hook = nullptr;

} // namespace

BOOL bShellOpen(const QString& address)
{
    if (g_hook)
        return g_hook(address);
    const QUrl url(address, QUrl::StrictMode);
    if (address.isEmpty() || !url.isValid() || url.scheme().isEmpty())
        return FALSE;
    return QDesktopServices::openUrl(url) ? TRUE : FALSE;
}

void SetShellOpenHook(ShellOpenHook hook)
{
    g_hook = hook;
}
