// Crash signals checked against the X server's socket.
#include "platform/PlatformSession.h"
#include "platform/x11/X11LostServerGuard.h"

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

sockaddr_un g_server{};
// The handlers found before ours (the default, or a sanitizer's), by signal.
struct sigaction g_previous[NSIG] {};

// Async-signal-safe: a socket, a connect and a close.
BOOL bServerGone()
{
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool bGone = connect(fd, reinterpret_cast<const sockaddr*>(&g_server), sizeof g_server) != 0;
    close(fd);
    return bGone;
}

void vOnCrash(int sig)
{
    if (bServerGone())
        vLeaveOnSessionLost(); // the settings are saved as on any loss
    // Any other crash goes on as it would have without us.
    sigaction(sig, &g_previous[sig], nullptr);
    raise(sig);
}

} // namespace

void X11GuardCrashesOnLostServer(const QString& display)
{
    // ":N" or ":N.S", also "unix:N": the server's socket in /tmp/.X11-unix.
    QString rest = display.startsWith(QLatin1String("unix:")) ? display.mid(4) : display;
    if (!rest.startsWith(u':'))
        return;
    bool bNumber = false;
    const int n = rest.mid(1).section(u'.', 0, 0).toInt(&bNumber);
    if (!bNumber || n < 0)
        return;
    const QByteArray path = "/tmp/.X11-unix/X" + QByteArray::number(n);
    g_server.sun_family = AF_UNIX;
    std::memcpy(g_server.sun_path, path.constData(), static_cast<size_t>(path.size()));
    if (bServerGone())
        return; // a server without that socket: no way to tell, no guard
    struct sigaction action {};
    action.sa_handler = vOnCrash;
    action.sa_flags = SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGABRT})
        sigaction(sig, &action, &g_previous[sig]);
}
