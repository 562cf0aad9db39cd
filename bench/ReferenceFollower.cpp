// The least any follower can do: one ARGB override-redirect window moved
// under the cursor on every raw motion. The floor the follow benchmark compares to.
// Usage: bench_ReferenceFollower [SIDE] (the window's side in pixels, 128 when not given).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>

#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

int g_nSize = 128; // set once, before the window is made
int g_wakeWrite = -1;
int g_xiOpcode = -1;

void OnTerminate(int)
{
    const char byte = 0;
    // Nothing to do if the pipe is full: one byte is enough to wake the loop.
    [[maybe_unused]] ssize_t n = write(g_wakeWrite, &byte, 1);
}

bool bInstallTermHandler(int fds[2])
{
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    g_wakeWrite = fds[1];
    struct sigaction sa = {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    return sigaction(SIGTERM, &sa, nullptr) == 0 && sigaction(SIGINT, &sa, nullptr) == 0;
}

Window CreateOverlay(Display* dpy)
{
    const int screen = DefaultScreen(dpy);
    const Window root = RootWindow(dpy, screen);
    XVisualInfo vi;
    if (!XMatchVisualInfo(dpy, screen, 32, TrueColor, &vi))
        return None;
    XSetWindowAttributes attrs = {};
    attrs.override_redirect = True;
    attrs.colormap = XCreateColormap(dpy, root, vi.visual, AllocNone);
    attrs.border_pixel = 0;
    attrs.background_pixel = 0x80800000; // premultiplied half-transparent red
    Window root_ret, child;
    int x = 0, y = 0, wx, wy;
    unsigned mask;
    XQueryPointer(dpy, root, &root_ret, &child, &x, &y, &wx, &wy, &mask);
    Window win = XCreateWindow(dpy, root, x - g_nSize / 2, y - g_nSize / 2, g_nSize, g_nSize, 0, 32, InputOutput,
                               vi.visual, CWOverrideRedirect | CWColormap | CWBorderPixel | CWBackPixel, &attrs);
    XMapWindow(dpy, win);
    return win;
}

bool bSelectRawMotion(Display* dpy)
{
    int event, error, major = 2, minor = 0;
    if (!XQueryExtension(dpy, "XInputExtension", &g_xiOpcode, &event, &error) || XIQueryVersion(dpy, &major, &minor) != Success)
        return false;
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawMotion);
    XIEventMask mask = {XIAllMasterDevices, sizeof bits, bits};
    return XISelectEvents(dpy, DefaultRootWindow(dpy), &mask, 1) == Success;
}

void vFollow(Display* dpy, Window win)
{
    const Window root = DefaultRootWindow(dpy);
    Window root_ret, child;
    int x, y, wx, wy;
    unsigned mask;
    if (XQueryPointer(dpy, root, &root_ret, &child, &x, &y, &wx, &wy, &mask))
        XMoveWindow(dpy, win, x - g_nSize / 2, y - g_nSize / 2);
    XFlush(dpy);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::atoi(argv[1]) > 0)
        g_nSize = std::atoi(argv[1]);
    int wake[2];
    if (!bInstallTermHandler(wake))
        return 1;
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;
    Window win = CreateOverlay(dpy);
    if (win == None || !bSelectRawMotion(dpy))
        return 1;
    XFlush(dpy);

    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {wake[0], POLLIN, 0}};
    for (;;) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            // One move per raw motion, as a follower that misses none must do.
            if (ev.type == GenericEvent && ev.xcookie.extension == g_xiOpcode && ev.xcookie.evtype == XI_RawMotion)
                vFollow(dpy, win);
        }
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (fds[1].revents)
            break;
        if (fds[0].revents & (POLLERR | POLLHUP))
            break;
    }
    XDestroyWindow(dpy, win);
    XCloseDisplay(dpy);
    return 0;
}
