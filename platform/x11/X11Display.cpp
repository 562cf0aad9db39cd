// UI-thread X connection with Qt-driven event dispatch, per-thread
// connections for workers, and the process-wide X error handler.
// Qt first: Xlib's macros (Bool, Status, None) break Qt's headers.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

#include "platform/x11/X11Display.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

Display* g_uiDisplay = nullptr;
QSocketNotifier* g_notifier = nullptr;
QMetaObject::Connection g_aboutToBlock;
thread_local Display* t_threadDisplay = nullptr;
thread_local CX11ErrorTrap* t_trap = nullptr;
std::map<int, CX11Display::EventHandler> g_handlers;
int g_nextToken = 1;

// Without a trap an X error would end the process with Xlib's default
// handler; an untrapped error is only reported.
int (*g_previousHandler)(Display*, XErrorEvent*) = nullptr;

} // namespace

int LumicueX11ErrorHandler(Display* dpy, XErrorEvent* ev)
{
    if (t_trap && t_trap->dpy == dpy) {
        if (t_trap->nErrorCode == 0)
            t_trap->nErrorCode = ev->error_code;
        return 0;
    }
    std::fprintf(stderr, "lumicue: X error %d (request %d.%d)\n", ev->error_code, ev->request_code, ev->minor_code);
    return 0;
}

static void vInstallErrorHandler()
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        g_previousHandler = XSetErrorHandler(LumicueX11ErrorHandler);
    }
}

Display* CX11Display::UiDisplay()
{
    if (g_uiDisplay)
        return g_uiDisplay;
    XInitThreads();
    vInstallErrorHandler();
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
    vInstallErrorHandler();
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

CX11ErrorTrap::CX11ErrorTrap(Display* display) : dpy(display), pPrevious(t_trap)
{
    vInstallErrorHandler();
    if (dpy)
        XSync(dpy, False); // errors of earlier calls are not ours
    t_trap = this;
}

CX11ErrorTrap::~CX11ErrorTrap()
{
    if (dpy)
        XSync(dpy, False);
    t_trap = pPrevious;
}

int CX11ErrorTrap::nSync()
{
    if (dpy)
        XSync(dpy, False);
    return nErrorCode;
}
