// The display tests' X connection: window search, XTest input, pixels and
// event-driven waits.
#include "TestDisplay.h"

#include "TestErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// Pixel value of one colour channel, given the visual's mask for it.
uint32_t Channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    unsigned long value = (pixel & mask) >> shift;
    unsigned long max = mask >> shift;
    return static_cast<uint32_t>(max == 255 ? value : value * 255 / max);
}

// An 8-bit channel placed under the visual's mask for it.
unsigned long ToChannel(uint32_t c8, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    return (c8 * (mask >> shift) / 255) << shift;
}

} // namespace

CTestDisplay::~CTestDisplay()
{
    vClose();
}

bool CTestDisplay::bOpen(const std::string& strName)
{
    CTestErrorTrap::vInstallHandler();
    dpy = XOpenDisplay(strName.c_str());
    if (!dpy)
        return false;
    root = DefaultRootWindow(dpy);
    int ev, err, major, minor;
    if (!XTestQueryExtension(dpy, &ev, &err, &major, &minor))
        return false;
    if (!XFixesQueryExtension(dpy, &nFixesEvent, &err))
        return false;
    XSelectInput(dpy, root, SubstructureNotifyMask | PropertyChangeMask);

    Pixmap empty = XCreatePixmap(dpy, root, 1, 1, 1);
    GC gc = XCreateGC(dpy, empty, 0, nullptr);
    XFillRectangle(dpy, empty, gc, 0, 0, 1, 1);
    XFreeGC(dpy, gc);
    XColor black{};
    invisibleCursor = XCreatePixmapCursor(dpy, empty, empty, &black, &black, 0, 0);
    XFreePixmap(dpy, empty);
    XSync(dpy, False);
    return true;
}

void CTestDisplay::vClose()
{
    if (dpy)
        XCloseDisplay(dpy);
    dpy = nullptr;
}

Atom CTestDisplay::AtomOf(const char* name)
{
    return XInternAtom(dpy, name, False);
}

// --- waiting ---------------------------------------------------------------

void CTestDisplay::vRecord(const XEvent& ev)
{
    switch (ev.type) {
    case MapNotify:
        if (ev.xmap.event == root)
            records.push_back({MapNotify, ev.xmap.window, 0});
        break;
    case UnmapNotify:
        if (ev.xunmap.event == root)
            records.push_back({UnmapNotify, ev.xunmap.window, 0});
        break;
    case ButtonPress:
        records.push_back({ButtonPress, ev.xbutton.window, ev.xbutton.button});
        break;
    case KeyPress:
        records.push_back({KeyPress, ev.xkey.window, ev.xkey.keycode});
        break;
    case MappingNotify: {
        // Keysyms of later presses are looked up in the new layout.
        XMappingEvent mapping = ev.xmapping;
        XRefreshKeyboardMapping(&mapping);
        break;
    }
    default:
        break;
    }
}

void CTestDisplay::vPump()
{
    while (XPending(dpy) > 0) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        vRecord(ev);
    }
}

bool CTestDisplay::bWaitUntil(const std::function<bool()>& cond, const CDeadline& deadline,
                              const std::vector<int>& extraFds)
{
    std::vector<int> fds = extraFds;
    for (;;) {
        if (cond())
            return true;
        if (deadline.bExpired())
            return false;
        if (XEventsQueued(dpy, QueuedAfterFlush) > 0) {
            vPump();
            continue;
        }
        std::vector<pollfd> p{{ConnectionNumber(dpy), POLLIN, 0}};
        for (int fd : fds)
            p.push_back({fd, POLLIN, 0});
        int n = poll(p.data(), p.size(), deadline.nRemainingMs());
        if (n < 0 && errno != EINTR)
            return cond();
        for (size_t i = p.size(); i-- > 1;) {
            if (p[i].revents == 0)
                continue;
            // Drain what can be read (inotify); a descriptor that stays
            // readable without data (a pidfd) has said its piece.
            char buf[4096];
            if (read(p[i].fd, buf, sizeof buf) <= 0)
                fds.erase(fds.begin() + static_cast<long>(i) - 1);
        }
        vPump();
    }
}

void CTestDisplay::vSettle(const CDeadline& deadline)
{
    bWaitUntil([] { return false; }, deadline);
}

// --- windows ---------------------------------------------------------------

std::string CTestDisplay::strTitle(Window w)
{
    CTestErrorTrap trap(dpy);
    std::string title;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, AtomOf("_NET_WM_NAME"), 0, 1024, False, AtomOf("UTF8_STRING"), &type,
                           &format, &count, &after, &data) == Success && data) {
        if (type != None && format == 8)
            title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    if (!title.empty())
        return title;
    XTextProperty text{};
    if (XGetWMName(dpy, w, &text) && text.value) {
        char** list = nullptr;
        int n = 0;
        if (Xutf8TextPropertyToTextList(dpy, &text, &list, &n) >= Success && list) {
            if (n > 0 && list[0])
                title = list[0];
            XFreeStringList(list);
        }
        XFree(text.value);
    }
    return title;
}

pid_t CTestDisplay::WindowPid(Window w)
{
    CTestErrorTrap trap(dpy);
    pid_t pid = 0;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, AtomOf("_NET_WM_PID"), 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success && data) {
        if (format == 32 && count == 1)
            pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
    }
    return pid;
}

std::vector<long> CTestDisplay::Property32(Window w, const char* szProperty)
{
    CTestErrorTrap trap(dpy);
    std::vector<long> items;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, AtomOf(szProperty), 0, 1024, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success && data) {
        if (format == 32)
            items.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
        XFree(data);
    }
    return items;
}

bool CTestDisplay::bPropertyHasAtom(Window w, const char* szProperty, const char* szAtom)
{
    const std::vector<long> atoms = Property32(w, szProperty);
    return std::find(atoms.begin(), atoms.end(), static_cast<long>(AtomOf(szAtom))) != atoms.end();
}

void CTestDisplay::vWatchTopLevel(Window w)
{
    // Titles are set after creation; their changes must wake the waits.
    // Own windows keep the masks they were made with.
    if (ownWindows.count(w) || !watched.insert(w).second)
        return;
    CTestErrorTrap trap(dpy);
    XSelectInput(dpy, w, PropertyChangeMask);
}

Window CTestDisplay::FindInTree(Window w, const std::string& title, pid_t pid, int depth)
{
    Window rootRet, parent, *children = nullptr;
    unsigned int n = 0;
    {
        CTestErrorTrap trap(dpy);
        if (!XQueryTree(dpy, w, &rootRet, &parent, &children, &n))
            return None;
    }
    std::vector<Window> list(children, children + n);
    if (children)
        XFree(children);
    for (Window c : list) {
        if (w == root)
            vWatchTopLevel(c);
        if (strTitle(c) == title && (pid == 0 || WindowPid(c) == pid))
            return c;
    }
    if (depth > 0)
        for (Window c : list)
            if (Window found = FindInTree(c, title, pid, depth - 1))
                return found;
    return None;
}

Window CTestDisplay::FindWindowByTitle(const std::string& title, pid_t pid)
{
    return FindInTree(root, title, pid, 3);
}

Window CTestDisplay::WaitForWindow(const std::string& title, pid_t pid, bool bViewable, const CDeadline& deadline)
{
    Window found = None;
    bWaitUntil([&] {
        found = FindWindowByTitle(title, pid);
        return found != None && (!bViewable || bIsViewable(found));
    }, deadline);
    return (found != None && (!bViewable || bIsViewable(found))) ? found : None;
}

bool CTestDisplay::bExists(Window w)
{
    CTestErrorTrap trap(dpy);
    XWindowAttributes a;
    return XGetWindowAttributes(dpy, w, &a) && trap.nSync() == 0;
}

bool CTestDisplay::bIsViewable(Window w)
{
    CTestErrorTrap trap(dpy);
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a) || trap.nSync() != 0)
        return false;
    return a.map_state == IsViewable;
}

bool CTestDisplay::bGeometry(Window w, TestRect& rc)
{
    CTestErrorTrap trap(dpy);
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a) || trap.nSync() != 0)
        return false;
    int x = 0, y = 0;
    Window child;
    if (!XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child) || trap.nSync() != 0)
        return false;
    rc = {x, y, a.width, a.height};
    return true;
}

Window CTestDisplay::FindOverlay()
{
    Window rootRet, parent, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, root, &rootRet, &parent, &children, &n))
        return None;
    std::vector<Window> list(children, children + n);
    if (children)
        XFree(children);
    for (Window c : list) {
        if (ownWindows.count(c))
            continue;
        CTestErrorTrap trap(dpy);
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, c, &a) || trap.nSync() != 0 || !a.override_redirect
            || a.map_state != IsViewable)
            continue;
        // Without a 32-bit visual the overlay has the screen's depth; its class tells it apart.
        XClassHint hint{};
        const bool bNamed = XGetClassHint(dpy, c, &hint) && hint.res_name
                            && std::string(hint.res_name) == "lumicue-pointer";
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
        if (a.depth == 32 || bNamed)
            return c;
    }
    return None;
}

std::vector<Window> CTestDisplay::SeenMapped() const
{
    std::vector<Window> mapped;
    for (const Record& r : records)
        if (r.type == MapNotify)
            mapped.push_back(r.window);
    return mapped;
}

bool CTestDisplay::bSeenMapped(Window w) const
{
    return std::any_of(records.begin(), records.end(),
                       [w](const Record& r) { return r.type == MapNotify && r.window == w; });
}

bool CTestDisplay::bSeenUnmapped(Window w) const
{
    return std::any_of(records.begin(), records.end(),
                       [w](const Record& r) { return r.type == UnmapNotify && r.window == w; });
}

bool CTestDisplay::bFocus(Window w)
{
    CTestErrorTrap trap(dpy);
    XSetInputFocus(dpy, w, RevertToPointerRoot, CurrentTime);
    return trap.nSync() == 0;
}

Window CTestDisplay::FocusWindow()
{
    Window w = None;
    int revert;
    XGetInputFocus(dpy, &w, &revert);
    return w;
}

// --- input -----------------------------------------------------------------

bool CTestDisplay::bKey(unsigned long keysym, unsigned int mods)
{
    KeyCode code = XKeysymToKeycode(dpy, keysym);
    if (code == 0)
        return false;
    std::vector<KeyCode> held;
    const std::pair<unsigned int, KeySym> modifiers[] = {
        {ControlMask, XK_Control_L}, {ShiftMask, XK_Shift_L}, {Mod1Mask, XK_Alt_L}, {Mod4Mask, XK_Super_L}};
    for (const auto& [mask, sym] : modifiers)
        if (mods & mask)
            held.push_back(XKeysymToKeycode(dpy, sym));
    for (KeyCode m : held)
        XTestFakeKeyEvent(dpy, m, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        XTestFakeKeyEvent(dpy, *it, False, CurrentTime);
    XSync(dpy, False);
    return true;
}

void CTestDisplay::vMove(int x, int y)
{
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, CurrentTime);
    XSync(dpy, False);
}

void CTestDisplay::vClick(unsigned int button)
{
    XTestFakeButtonEvent(dpy, button, True, CurrentTime);
    XTestFakeButtonEvent(dpy, button, False, CurrentTime);
    XSync(dpy, False);
}

// --- screen ----------------------------------------------------------------

std::vector<uint32_t> CTestDisplay::Pixels(const TestRect& rc)
{
    std::vector<uint32_t> out;
    CTestErrorTrap trap(dpy);
    XImage* image = XGetImage(dpy, root, rc.x, rc.y, static_cast<unsigned>(rc.width),
                              static_cast<unsigned>(rc.height), AllPlanes, ZPixmap);
    if (!image)
        return out;
    Visual* visual = DefaultVisual(dpy, DefaultScreen(dpy));
    out.reserve(static_cast<size_t>(rc.width) * static_cast<size_t>(rc.height));
    for (int y = 0; y < rc.height; ++y)
        for (int x = 0; x < rc.width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            out.push_back(Channel(p, visual->red_mask) << 16 | Channel(p, visual->green_mask) << 8 |
                          Channel(p, visual->blue_mask));
        }
    XDestroyImage(image);
    return out;
}

uint32_t CTestDisplay::Pixel(int x, int y)
{
    auto p = Pixels({x, y, 1, 1});
    return p.empty() ? 0xFFFFFFFF : p[0];
}

bool CTestDisplay::bWatchScreen()
{
    if (nDamageEvent >= 0)
        return true;
    // Damage on the root reports every repaint of the compositing manager.
    int ev = 0, err = 0;
    if (!XDamageQueryExtension(dpy, &ev, &err))
        return false;
    const int reportRawRectangles = 0;
    XDamageCreate(dpy, root, reportRawRectangles);
    XSync(dpy, False);
    nDamageEvent = ev;
    return true;
}

// --- test windows ----------------------------------------------------------

Window CTestDisplay::CreateTestWindow(const TestRect& rc, uint32_t rgb, const std::string& name)
{
    XSetWindowAttributes a{};
    const Visual* v = DefaultVisual(dpy, DefaultScreen(dpy));  // TrueColor, 16 or 24 bits
    a.background_pixel = ToChannel(rgb >> 16 & 0xFF, v->red_mask) | ToChannel(rgb >> 8 & 0xFF, v->green_mask)
                         | ToChannel(rgb & 0xFF, v->blue_mask);
    a.event_mask = ButtonPressMask | KeyPressMask | StructureNotifyMask | ExposureMask;
    a.cursor = invisibleCursor;
    Window w = XCreateWindow(dpy, root, rc.x, rc.y, static_cast<unsigned>(rc.width),
                             static_cast<unsigned>(rc.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWBackPixel | CWEventMask | CWCursor, &a);
    ownWindows.insert(w);
    XStoreName(dpy, w, name.c_str());
    XMapWindow(dpy, w);
    bWaitUntil([&] { return bIsViewable(w); }, CDeadline::Seconds(5));
    return w;
}

int CTestDisplay::nButtonPresses(Window w) const
{
    return static_cast<int>(std::count_if(records.begin(), records.end(), [w](const Record& r) {
        return r.type == ButtonPress && r.window == w;
    }));
}

int CTestDisplay::nKeyPresses(Window w, unsigned long keysym) const
{
    unsigned int code = XKeysymToKeycode(dpy, keysym);
    return static_cast<int>(std::count_if(records.begin(), records.end(), [w, code](const Record& r) {
        return r.type == KeyPress && r.window == w && r.detail == code;
    }));
}

// --- grabs and selections --------------------------------------------------

bool CTestDisplay::bGrabKey(unsigned long keysym, unsigned int mods)
{
    CTestErrorTrap trap(dpy);
    XGrabKey(dpy, XKeysymToKeycode(dpy, keysym), mods, root, False, GrabModeAsync, GrabModeAsync);
    return trap.nSync() == 0;
}

void CTestDisplay::vUngrabKey(unsigned long keysym, unsigned int mods)
{
    CTestErrorTrap trap(dpy);
    XUngrabKey(dpy, XKeysymToKeycode(dpy, keysym), mods, root);
}

bool CTestDisplay::bHasSelectionOwner(const std::string& selection)
{
    return XGetSelectionOwner(dpy, AtomOf(selection.c_str())) != None;
}

void CTestDisplay::vWatchSelection(const std::string& selection)
{
    XFixesSelectSelectionInput(dpy, root, AtomOf(selection.c_str()),
                               XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
    XSync(dpy, False);
}
