// The stacking watch's thread: SubstructureNotify on the root while a window
// is to be kept on top, one raise per frame at most, and giving way to a
// window that raises itself whenever it is covered.
#include "platform/x11/X11StackingWatch.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <utility>

std::unique_ptr<CX11StackingWatch> CX11StackingWatch::Create()
{
    std::unique_ptr<CX11WorkerConnection> connection = CX11WorkerConnection::Open();
    if (!connection)
        return nullptr;
    std::unique_ptr<CX11StackingWatch> watch(new CX11StackingWatch(std::move(connection)));
    watch->thread = std::thread(&CX11StackingWatch::vRun, watch.get());
    return watch;
}

CX11StackingWatch::CX11StackingWatch(std::unique_ptr<CX11WorkerConnection> connection)
    : conn(std::move(connection)), dpy(conn->dpy), root(DefaultRootWindow(dpy))
{
}

CX11StackingWatch::~CX11StackingWatch()
{
    bQuit.store(true, std::memory_order_release);
    conn->vWake();
    if (thread.joinable())
        thread.join();
}

void CX11StackingWatch::vKeep(Window win)
{
    const Window previous = target.exchange(win, std::memory_order_acq_rel);
    if (previous == 0 && win != 0)
        nShowings.fetch_add(1, std::memory_order_acq_rel);
    if (previous != win)
        conn->vWake();
}

void CX11StackingWatch::vRun()
{
    const int xfd = ConnectionNumber(dpy);
    while (!bQuit.load(std::memory_order_acquire)) {
        vApplyTarget();
        if (XPending(dpy) > 0) {
            // Moves (our own, while the pointer moves) come in streams: take
            // them a frame's worth at a time. A window's creation or mapping
            // comes alone, and what follows it is read at once.
            if (bReadEvents() && current)
                vWaitForWake(frame);
            continue;
        }
        pollfd fds[2] = {{xfd, POLLIN, 0}, {conn->nWakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            break; // the server is gone
        if (fds[1].revents & POLLIN)
            vWaitForWake(std::chrono::milliseconds{0});
    }
}

void CX11StackingWatch::vApplyTarget()
{
    const unsigned showings = nShowings.load(std::memory_order_acquire);
    const Window want = target.load(std::memory_order_acquire);
    if (showings != nSeenShowings) {
        nSeenShowings = showings;
        rivals.clear(); // switched off and on: every window gets a new chance
    }
    if (want == current)
        return;
    if (want && !current) {
        XSelectInput(dpy, root, SubstructureNotifyMask);
        // A window mapped between the showing and this selection went unseen:
        // start from the top.
        XRaiseWindow(dpy, want);
    } else if (!want && current)
        XSelectInput(dpy, root, NoEventMask);
    current = want;
    XFlush(dpy);
}

BOOL CX11StackingWatch::bReadEvents()
{
    std::vector<Window> covering;
    bool bMoves = false;
    while (XEventsQueued(dpy, QueuedAlready) > 0) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (!current)
            continue; // selected before the pointer went off
        bMoves = bMoves || ev.type == ConfigureNotify;
        if (ev.type == UnmapNotify)
            vForget(ev.xunmap.window);
        else if (ev.type == DestroyNotify)
            vForget(ev.xdestroywindow.window);
        Window rival = 0;
        if (bCovers(ev, rival) && std::find(covering.begin(), covering.end(), rival) == covering.end())
            covering.push_back(rival);
    }
    // One raise per frame, counted once against each window that covered us.
    bool bRaise = false;
    for (Window rival : covering)
        bRaise = bRaiseAgainst(rival) || bRaise;
    if (bRaise) {
        XRaiseWindow(dpy, current);
        XFlush(dpy);
    }
    return bMoves;
}

// Another top-level mapped, restacked right above us (or above a window we
// gave way to), or circulated to the top.
BOOL CX11StackingWatch::bCovers(const XEvent& ev, Window& rival)
{
    switch (ev.type) {
    case MapNotify:
        rival = ev.xmap.window;
        return rival != current;
    case ConfigureNotify: {
        rival = ev.xconfigure.window;
        const Window above = ev.xconfigure.above;
        if (rival == current || above == None)
            return false;
        const SRival* under = Rival(above);
        return above == current || (under && under->bYielded);
    }
    case CirculateNotify:
        rival = ev.xcirculate.window;
        return rival != current && ev.xcirculate.place == PlaceOnTop;
    default:
        return false;
    }
}

BOOL CX11StackingWatch::bRaiseAgainst(Window win)
{
    const auto now = std::chrono::steady_clock::now();
    // Windows that stopped covering us are forgotten as their raises age.
    std::erase_if(rivals, [&](const SRival& r) {
        return !r.bYielded && r.win != win && (r.raises.empty() || now - r.raises.back() > fightSpan);
    });
    SRival* r = Rival(win);
    if (!r) {
        rivals.push_back({win, {}, false});
        r = &rivals.back();
    }
    if (r->bYielded)
        return false;
    std::erase_if(r->raises, [&](auto t) { return now - t > fightSpan; });
    if (static_cast<int>(r->raises.size()) >= nFightRaises) {
        r->bYielded = true; // it raises itself whenever covered: no raise loop
        r->raises.clear();
        return false;
    }
    r->raises.push_back(now);
    return true;
}

CX11StackingWatch::SRival* CX11StackingWatch::Rival(Window win)
{
    auto it = std::find_if(rivals.begin(), rivals.end(), [win](const SRival& r) { return r.win == win; });
    return it == rivals.end() ? nullptr : &*it;
}

void CX11StackingWatch::vForget(Window win)
{
    std::erase_if(rivals, [win](const SRival& r) { return r.win == win; });
}

void CX11StackingWatch::vWaitForWake(std::chrono::milliseconds time)
{
    if (conn->nSleep(time) > 0)
        conn->vTakeWake();
}
