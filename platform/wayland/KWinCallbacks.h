// What Lumicue's KWin scripts call back over D-Bus, served by sd-bus on
// connections of Lumicue's own. The hotkey combination the script should
// register, that it did, and the presses come on one, served on a thread of
// its own, so they are answered while the UI thread waits for the script.
// The follower's pointer positions come on another, under a bus name of
// their own, served by the mouse reader in its wait: a position costs one
// wake of one thread, whatever the UI thread does.
#pragma once

#include "platform/base/Win32.h"
#include "platform/wayland/PositionQueue.h"

#include <QString>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <systemd/sd-bus.h>

class CWnd;

// The bus names, object path and interface the scripts call.
inline constexpr char kLumicueBusName[] = "example.lumicue.Lumicue";
inline constexpr char kLumicuePointerBusName[] = "example.lumicue.Lumicue.Pointer";
inline constexpr char kKWinCallbackPath[] = "/KWin";
inline constexpr char kKWinCallbackInterface[] = "example.lumicue.KWin";

class CKWinCallbacks {
public:
    CKWinCallbacks() = default;
    ~CKWinCallbacks(); // stops serving, joins the thread, gives up the name
    CKWinCallbacks(const CKWinCallbacks&) = delete;
    CKWinCallbacks& operator=(const CKWinCallbacks&) = delete;

    // Connects to the session bus, takes the bus names and starts serving.
    // FALSE with the reason when any step fails; nothing is left running.
    BOOL bStart(QString& strWhy);

    CPositionQueue& Positions() { return positions; }
    // The mouse reader: the queue's wait, with the positions that arrive
    // meanwhile pushed into it. A lost connection leaves the plain wait.
    BOOL bWaitForPositions();

    // UI thread: the combination the next loaded script registers (its
    // toolkit text, empty for none) and where its presses go.
    void vSetHotKey(const QString& strKeys, CWnd* target, int id, UINT fsModifiers, UINT vk);
    // UI thread: the number of scripts that have reported their shortcut so
    // far; bWaitRegistered waits, until the deadline, for a later one.
    unsigned nRegisteredCount();
    BOOL bWaitRegistered(unsigned nAfter, int nTimeoutMs);

private:
    static int nPointerMoved(sd_bus_message* m, void* self, sd_bus_error* error);
    static int nHotKeyWanted(sd_bus_message* m, void* self, sd_bus_error* error);
    static int nHotKeyRegistered(sd_bus_message* m, void* self, sd_bus_error* error);
    static int nHotKeyPressed(sd_bus_message* m, void* self, sd_bus_error* error);
    static const sd_bus_vtable* Table();
    static const sd_bus_vtable* PointerTable();
    void vServe();
    void vClose();

    CPositionQueue positions;
    sd_bus* pBus = nullptr; // the serving thread's alone once it runs
    sd_bus_slot* pObject = nullptr;
    sd_bus* pPointerBus = nullptr; // the mouse reader's alone once started
    sd_bus_slot* pPointerObject = nullptr;
    bool bPointerPending = true; // its descriptor was ready at the last look
    int nStopFd = -1;
    std::thread server;

    std::mutex lock;
    std::condition_variable registered;
    unsigned nRegistered = 0;
    std::string strKeys; // UTF-8
    CWnd* target = nullptr;
    int nId = 0;
    UINT fsModifiers = 0;
    UINT vk = 0;
};
