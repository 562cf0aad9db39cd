// Keeps one top-level window above the others from a thread and X connection
// of its own. The window's own moves echo back to that connection, so while
// moves come it reads its events at most once per display frame; it sleeps
// without a time-out while nothing comes.
#pragma once

#include "platform/base/Win32.h"

// Include after any Qt header: Xlib defines Bool, Status and None as macros.
#include "platform/x11/X11WorkerConnection.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

class CX11StackingWatch {
public:
    // Raises against one window within this span that make us give way to it.
    static constexpr int nFightRaises = 3;
    static constexpr std::chrono::milliseconds fightSpan{1000};
    // Events are read at most this often.
    static constexpr std::chrono::milliseconds frame{16};

    // Opens the connection and starts the thread; null when either fails.
    static std::unique_ptr<CX11StackingWatch> Create();
    ~CX11StackingWatch(); // wakes and joins the thread, closes the connection
    CX11StackingWatch(const CX11StackingWatch&) = delete;
    CX11StackingWatch& operator=(const CX11StackingWatch&) = delete;

    // Any thread: the mapped window to keep on top, or 0 for none (nothing is
    // then watched, so nothing wakes us). Naming a window after 0 forgets the
    // windows given way to.
    void vKeep(Window win);

private:
    struct SRival {
        Window win;
        std::vector<std::chrono::steady_clock::time_point> raises;
        bool bYielded;
    };

    explicit CX11StackingWatch(std::unique_ptr<CX11WorkerConnection> connection);
    void vRun();
    void vApplyTarget();
    BOOL bReadEvents(); // true when the events held moves
    BOOL bCovers(const XEvent& ev, Window& rival);
    BOOL bRaiseAgainst(Window rival);
    SRival* Rival(Window win);
    void vForget(Window win);
    void vWaitForWake(std::chrono::milliseconds time);

    std::unique_ptr<CX11WorkerConnection> conn;
    Display* const dpy; // conn's, used throughout
    Window root;
    std::atomic<Window> target{0};
    std::atomic<unsigned> nShowings{0}; // times the target went from 0 to a window
    std::atomic<bool> bQuit{false};
    Window current = 0; // the thread's view of the target
    unsigned nSeenShowings = 0;
    std::vector<SRival> rivals;
    std::thread thread;
};
