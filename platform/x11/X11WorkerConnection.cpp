// A worker thread's X connection and wake descriptor.
#include "platform/x11/X11WorkerConnection.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

std::unique_ptr<CX11WorkerConnection> CX11WorkerConnection::Open()
{
    // The connection is used from its worker thread, the wake from any.
    XInitThreads();
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return nullptr;
    const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) {
        XCloseDisplay(dpy);
        return nullptr;
    }
    return std::unique_ptr<CX11WorkerConnection>(new CX11WorkerConnection(dpy, fd));
}

CX11WorkerConnection::~CX11WorkerConnection()
{
    close(nWakeFd);
    XCloseDisplay(dpy);
}

void CX11WorkerConnection::vWake()
{
    eventfd_write(nWakeFd, 1);
}

void CX11WorkerConnection::vTakeWake()
{
    std::uint64_t v = 0;
    [[maybe_unused]] ssize_t n = read(nWakeFd, &v, sizeof v);
}

int CX11WorkerConnection::nSleep(std::chrono::nanoseconds time) const
{
    pollfd wake{nWakeFd, POLLIN, 0};
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(time);
    const timespec ts{static_cast<time_t>(secs.count()), static_cast<long>((time - secs).count())};
    const int n = ppoll(&wake, 1, &ts, nullptr);
    if (n < 0)
        return errno == EINTR ? 0 : -1;
    return n > 0 ? 1 : 0;
}
