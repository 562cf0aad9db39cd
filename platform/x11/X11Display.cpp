// UI-thread X connection with Qt-driven event dispatch, per-thread
// connections for workers.
// Qt first: Xlib's macros (Bool, Status, None) break Qt's headers.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

Display* g_uiDisplay = nullptr;
QSocketNotifier* g_notifier = nullptr;
QMetaObject::Connection g_aboutToBlock;
thread_local Display* t_threadDisplay = nullptr;
std::map<int, CX11Display::EventHandler> g_handlers;
int g_nextToken = 1;

} // namespace

Display* CX11Display::UiDisplay()
{
    if (g_uiDisplay)
        return g_uiDisplay;
    XInitThreads();
    X11InstallErrorHandler();
    g_uiDisplay = XOpenDisplay(nullptr);
    if (!g_uiDisplay)
        return nullptr;
    if (QCoreApplication::instance()) {
        g_notifier = new QSocketNotifier(ConnectionNumber(g_uiDisplay), QSocketNotifier::Read);
        QObject::connect(g_notifier, &QSocketNotifier::activated, [] { vDispatchPending(); });
        // Xlib may have read events into its queue during our own requests;
        // those never make the socket readable again, so drain before sleeping.
        if (auto* dispatcher = QAbstractEventDispatcher::instance())
            g_aboutToBlock = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] {
                if (g_uiDisplay && XEventsQueued(g_uiDisplay, QueuedAlready) > 0)
                    vDispatchPending();
            });
    }
    return g_uiDisplay;
}

Display* CX11Display::ThreadDisplay()
{
    return t_threadDisplay ? t_threadDisplay : UiDisplay();
}

void CX11Display::vSetThreadDisplay(Display* dpy)
{
    X11InstallErrorHandler();
    // A worker stops quietly when its connection goes; the UI thread's own
    // loss ends the program.
    X11SetQuietConnection(dpy);
    t_threadDisplay = dpy;
}

int CX11Display::nAddEventHandler(EventHandler handler)
{
    int token = g_nextToken++;
    g_handlers.emplace(token, std::move(handler));
    return token;
}

void CX11Display::vRemoveEventHandler(int token)
{
    g_handlers.erase(token);
}

BOOL CX11Display::bHasEventHandler(int token)
{
    return g_handlers.count(token) != 0;
}

void CX11Display::vDispatchPending()
{
    if (!g_uiDisplay)
        return;
    while (XPending(g_uiDisplay) > 0) {
        XEvent ev;
        XNextEvent(g_uiDisplay, &ev);
        // Copy the tokens first: a handler may add or remove handlers.
        std::vector<int> tokens;
        for (auto& [token, handler] : g_handlers)
            tokens.push_back(token);
        for (int token : tokens) {
            auto it = g_handlers.find(token);
            if (it != g_handlers.end() && it->second(ev))
                break;
        }
    }
}

void CX11Display::vCloseUiDisplay()
{
    if (!g_uiDisplay)
        return;
    delete g_notifier;
    g_notifier = nullptr;
    QObject::disconnect(g_aboutToBlock);
    g_handlers.clear();
    XCloseDisplay(g_uiDisplay);
    g_uiDisplay = nullptr;
}
