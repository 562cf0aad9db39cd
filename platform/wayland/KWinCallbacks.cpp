// The script's calls, on the serving thread.
#include "platform/wayland/KWinCallbacks.h"

#include "platform/ui/Wnd.h"

#include <chrono>
#include <cerrno>
#include <cstdint>
#include <ctime>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// The monotonic clock, the one sd-bus's deadlines are on.
std::uint64_t NowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000000 + static_cast<std::uint64_t>(ts.tv_nsec) / 1000;
}

// Milliseconds until sd-bus's absolute deadline, -1 for none.
int PollTimeoutMs(sd_bus* bus)
{
    std::uint64_t usDeadline = 0;
    if (sd_bus_get_timeout(bus, &usDeadline) <= 0 || usDeadline == UINT64_MAX)
        return -1;
    const std::uint64_t usNow = NowUs();
    return usDeadline <= usNow ? 0 : static_cast<int>((usDeadline - usNow + 999) / 1000);
}

// Every call that came is handled (and answered); negative when the
// connection is gone.
int nDrain(sd_bus* bus)
{
    int r;
    while ((r = sd_bus_process(bus, nullptr)) > 0) {
    }
    return r;
}

// What poll() waits for on the connection.
pollfd BusPollFd(sd_bus* bus)
{
    const int nEvents = sd_bus_get_events(bus);
    return {sd_bus_get_fd(bus), static_cast<short>(nEvents > 0 ? nEvents : POLLIN), 0};
}

} // namespace

int CKWinCallbacks::nPointerMoved(sd_bus_message* m, void* self, sd_bus_error*)
{
    int32_t x = 0, y = 0;
    const int r = sd_bus_message_read(m, "ii", &x, &y);
    if (r < 0)
        return r;
    // Pushed by the reader itself, which needs no wake.
    static_cast<CKWinCallbacks*>(self)->positions.vPush(x, y, static_cast<DWORD>(NowUs() / 1000), false);
    return sd_bus_reply_method_return(m, nullptr);
}

int CKWinCallbacks::nHotKeyWanted(sd_bus_message* m, void* self, sd_bus_error*)
{
    auto* p = static_cast<CKWinCallbacks*>(self);
    std::string strWanted;
    {
        std::lock_guard<std::mutex> guard(p->lock);
        strWanted = p->strKeys;
    }
    return sd_bus_reply_method_return(m, "s", strWanted.c_str());
}

int CKWinCallbacks::nHotKeyRegistered(sd_bus_message* m, void* self, sd_bus_error*)
{
    auto* p = static_cast<CKWinCallbacks*>(self);
    {
        std::lock_guard<std::mutex> guard(p->lock);
        ++p->nRegistered;
    }
    p->registered.notify_all();
    return sd_bus_reply_method_return(m, nullptr);
}

int CKWinCallbacks::nHotKeyPressed(sd_bus_message* m, void* self, sd_bus_error*)
{
    auto* p = static_cast<CKWinCallbacks*>(self);
    {
        // Posted under the lock: once the registration is dropped, no press
        // can reach a window that goes away.
        std::lock_guard<std::mutex> guard(p->lock);
        if (!p->strKeys.empty() && p->target)
            p->target->PostMessage(WM_HOTKEY, static_cast<WPARAM>(p->nId),
                static_cast<LPARAM>((p->vk & 0xFFFF) << 16 | (p->fsModifiers & 0xFFFF)));
    }
    return sd_bus_reply_method_return(m, nullptr);
}

const sd_bus_vtable* CKWinCallbacks::PointerTable()
{
    // Positions arrive as int32.
    static const sd_bus_vtable table[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("PointerMoved", "ii", "", &CKWinCallbacks::nPointerMoved, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END,
    };
    return table;
}

const sd_bus_vtable* CKWinCallbacks::Table()
{
    // Keys arrive as text; HotKeyRegistered's text is the script's echo and
    // is not read.
    static const sd_bus_vtable table[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("HotKeyWanted", "", "s", &CKWinCallbacks::nHotKeyWanted, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("HotKeyRegistered", "s", "", &CKWinCallbacks::nHotKeyRegistered, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_METHOD("HotKeyPressed", "", "", &CKWinCallbacks::nHotKeyPressed, SD_BUS_VTABLE_UNPRIVILEGED),
        SD_BUS_VTABLE_END,
    };
    return table;
}

namespace {

// A connection of our own serving one object under a bus name; a negative
// errno when any step fails.
int OpenServing(sd_bus** bus, sd_bus_slot** object, const char* name, const sd_bus_vtable* table, void* self)
{
    int r = sd_bus_open_user(bus);
    if (r < 0) {
        *bus = nullptr;
        return r;
    }
    r = sd_bus_add_object_vtable(*bus, object, kKWinCallbackPath, kKWinCallbackInterface, table, self);
    return r < 0 ? r : sd_bus_request_name(*bus, name, 0);
}

QString NameProblem(int r, const char* name)
{
    return r == -EEXIST ? QStringLiteral("the bus name %1 is taken").arg(QString::fromLatin1(name))
                        : QStringLiteral("the bus name %1 cannot be taken").arg(QString::fromLatin1(name));
}

} // namespace

BOOL CKWinCallbacks::bStart(QString& strWhy)
{
    if (!positions.bValid()) {
        strWhy = QStringLiteral("no event descriptor is left for the pointer positions");
        return FALSE;
    }
    int r = OpenServing(&pBus, &pObject, kLumicueBusName, Table(), this);
    if (r < 0) {
        strWhy = pBus ? NameProblem(r, kLumicueBusName) : QStringLiteral("the session bus cannot be reached");
        vClose();
        return FALSE;
    }
    r = OpenServing(&pPointerBus, &pPointerObject, kLumicuePointerBusName, PointerTable(), this);
    nStopFd = r >= 0 ? eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    if (r < 0 || nStopFd < 0) {
        strWhy = NameProblem(r, kLumicuePointerBusName);
        vClose();
        return FALSE;
    }
    server = std::thread([this] { vServe(); });
    return TRUE;
}

BOOL CKWinCallbacks::bWaitForPositions()
{
    for (;;) {
        if (positions.bTakeWake())
            return false;
        // Read only when the descriptor said so: a drain that ended with
        // nothing left has nothing left until it says so again.
        int r = pPointerBus ? 0 : -ENOTCONN;
        if (pPointerBus && bPointerPending) {
            r = nDrain(pPointerBus);
            bPointerPending = false;
        }
        if (r < 0) {
            pPointerObject = sd_bus_slot_unref(pPointerObject);
            pPointerBus = sd_bus_close_unref(pPointerBus);
            return positions.bWaitForRecords();
        }
        if (positions.bReady())
            return true;
        pollfd fds[2] = {{positions.nWaitFd(), POLLIN, 0}, BusPollFd(pPointerBus)};
        if (poll(fds, 2, PollTimeoutMs(pPointerBus)) < 0 && errno != EINTR)
            return false;
        if (fds[0].revents & POLLIN)
            positions.vClearSignal();
        bPointerPending = fds[1].revents != 0;
    }
}

void CKWinCallbacks::vServe()
{
    for (;;) {
        if (nDrain(pBus) < 0)
            return; // the bus is gone: no more calls can come
        pollfd fds[2] = {BusPollFd(pBus), {nStopFd, POLLIN, 0}};
        if (poll(fds, 2, PollTimeoutMs(pBus)) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
    }
}

void CKWinCallbacks::vClose()
{
    if (server.joinable()) {
        eventfd_write(nStopFd, 1);
        server.join();
    }
    // Flushes the last replies; closing a connection gives up its name.
    pObject = sd_bus_slot_unref(pObject);
    pBus = sd_bus_flush_close_unref(pBus);
    pPointerObject = sd_bus_slot_unref(pPointerObject);
    pPointerBus = sd_bus_flush_close_unref(pPointerBus);
    if (nStopFd >= 0)
        close(nStopFd);
    nStopFd = -1;
}

CKWinCallbacks::~CKWinCallbacks()
{
    vClose();
}

void CKWinCallbacks::vSetHotKey(const QString& strKeysIn, CWnd* targetIn, int id, UINT mods, UINT vkIn)
{
    std::lock_guard<std::mutex> guard(lock);
    strKeys = strKeysIn.toStdString();
    target = targetIn;
    nId = id;
    fsModifiers = mods;
    vk = vkIn;
}

unsigned CKWinCallbacks::nRegisteredCount()
{
    std::lock_guard<std::mutex> guard(lock);
    return nRegistered;
}

BOOL CKWinCallbacks::bWaitRegistered(unsigned nAfter, int nTimeoutMs)
{
    std::unique_lock<std::mutex> guard(lock);
    return registered.wait_for(guard, std::chrono::milliseconds(nTimeoutMs), [&] { return nRegistered > nAfter; });
}
