// The script's calls, on the callbacks thread.
#include "platform/wayland/KWinCallbacks.h"

#include "platform/ui/Wnd.h"

#include <chrono>
#include <ctime>

namespace {

DWORD NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<DWORD>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

const QString kBusConnectionName = QStringLiteral("lumicue-kwin");

} // namespace

QDBusConnection KWinBus()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, kBusConnectionName);
}

void vCloseKWinBus()
{
    QDBusConnection::disconnectFromBus(kBusConnectionName);
}

void CKWinCallbacks::vSetHotKey(const QString& strKeysIn, CWnd* targetIn, int id, UINT mods, UINT vkIn)
{
    std::lock_guard<std::mutex> guard(lock);
    strKeys = strKeysIn;
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

bool CKWinCallbacks::bWaitRegistered(unsigned nAfter, int nTimeoutMs)
{
    std::unique_lock<std::mutex> guard(lock);
    return registered.wait_for(guard, std::chrono::milliseconds(nTimeoutMs), [&] { return nRegistered > nAfter; });
}

void CKWinCallbacks::PointerMoved(int x, int y)
{
    positions.vPush(x, y, NowMs());
}

QString CKWinCallbacks::HotKeyWanted()
{
    std::lock_guard<std::mutex> guard(lock);
    return strKeys;
}

void CKWinCallbacks::HotKeyRegistered(const QString&)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        ++nRegistered;
    }
    registered.notify_all();
}

void CKWinCallbacks::HotKeyPressed()
{
    // Posted under the lock: once the registration is dropped, no press can
    // reach a window that goes away.
    std::lock_guard<std::mutex> guard(lock);
    if (!strKeys.isEmpty() && target)
        target->PostMessage(WM_HOTKEY, static_cast<WPARAM>(nId),
            static_cast<LPARAM>((vk & 0xFFFF) << 16 | (fsModifiers & 0xFFFF)));
}
