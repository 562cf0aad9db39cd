#include "platform/gnome/QuietInputSource.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

CQuietInputSource::CQuietInputSource() : nWakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CQuietInputSource::~CQuietInputSource()
{
    if (nWakeFd >= 0)
        close(nWakeFd);
}

CInputDevice::WaitResult CQuietInputSource::nWait(const std::atomic<bool>&)
{
    if (nWakeFd < 0)
        return CInputDevice::WAIT_FAILED;
    pollfd fd{nWakeFd, POLLIN, 0};
    while (poll(&fd, 1, -1) < 0)
        if (errno != EINTR)
            return CInputDevice::WAIT_FAILED;
    std::uint64_t n = 0;
    (void)!read(nWakeFd, &n, sizeof n);
    return CInputDevice::WAIT_WOKEN;
}

void CQuietInputSource::vWake()
{
    eventfd_write(nWakeFd, 1);
}
