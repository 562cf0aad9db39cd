#include "platform/gnome/GnomeInput.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

CGnomeInput::CGnomeInput() : nWakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

CGnomeInput::~CGnomeInput()
{
    if (nWakeFd >= 0)
        close(nWakeFd);
}

CInputDevice::WaitResult CGnomeInput::nWait()
{
    pollfd pfd{nWakeFd, POLLIN, 0};
    int n;
    do
        n = poll(&pfd, 1, -1);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
        return CInputDevice::WAIT_FAILED;
    std::uint64_t nCount = 0;
    if (read(nWakeFd, &nCount, sizeof nCount) < 0 && errno != EAGAIN)
        return CInputDevice::WAIT_FAILED;
    return CInputDevice::WAIT_WOKEN;
}

void CGnomeInput::vWake()
{
    const std::uint64_t one = 1;
    // The counter only fails when it is full, and then a wake is pending anyway.
    [[maybe_unused]] const ssize_t n = write(nWakeFd, &one, sizeof one);
}
