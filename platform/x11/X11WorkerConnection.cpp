// A worker thread's X connection and wake descriptor.
#include "platform/x11/X11WorkerConnection.h"

#include <cstdint>
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
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(nWakeFd, &one, sizeof one);
}

void CX11WorkerConnection::vTakeWake()
{
    std::uint64_t v = 0;
    [[maybe_unused]] ssize_t n = read(nWakeFd, &v, sizeof v);
}
