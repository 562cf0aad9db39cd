// Global mouse and keyboard from XInput2 raw events on the device's own X
// connection, turned into DirectInput-style records. The reader thread
// sleeps in poll() on that connection and a wake-up eventfd.
#include "platform/InputDevice.h"
#include "platform/x11/OverlayStacking.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"

#include <X11/extensions/XInput2.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

struct CInputDevice::Impl {
    // Room for many events' worth of records; the reader drains it after
    // every wait, and events stay in Xlib's queue while it is full.
    static constexpr unsigned nCapacity = 64;
    static constexpr unsigned nMaxPerEvent = 3;

    Display* dpy = nullptr;
    Window root = 0;
    int nXiOpcode = 0;
    int nWakeFd = -1;
    // Set before the descriptor is written: the reader checks the flag, not
    // the descriptor, on every pass, and reads the descriptor only to sleep.
    std::atomic<bool> bWakeRequested{false};
    DIDEVICEOBJECTDATA ring[nCapacity];
    unsigned nHead = 0;
    unsigned nCount = 0;
    DWORD dwSequence = 0;

    void vPush(DWORD dwOfs, DWORD dwData, DWORD dwTime, const DIDEVICEOBJECTDATA& state)
    {
        DIDEVICEOBJECTDATA& r = ring[(nHead + nCount) % nCapacity];
        r = state;
        r.dwOfs = dwOfs;
        r.dwData = dwData;
        r.dwTimeStamp = dwTime;
        r.dwSequence = ++dwSequence;
        ++nCount;
    }
};

namespace {

// DirectInput buttons 0..3 are left, right, middle and the first side button.
int ButtonOffset(int xButton)
{
    switch (xButton) {
    case 1: return DIMOFS_BUTTON0;
    case 3: return DIMOFS_BUTTON1;
    case 2: return DIMOFS_BUTTON2;
    case 8: return DIMOFS_BUTTON3;
    default: return -1;
    }
}

// The state that goes with every record of one raw event: one round trip.
DIDEVICEOBJECTDATA PointerState(CInputDevice::Impl& im)
{
    DIDEVICEOBJECTDATA s;
    Window root, child;
    int wx, wy;
    unsigned int mask = 0;
    if (XQueryPointer(im.dpy, im.root, &root, &child, &s.x, &s.y, &wx, &wy, &mask)) {
        s.bCtrl = (mask & ControlMask) ? TRUE : FALSE;
        s.bShift = (mask & ShiftMask) ? TRUE : FALSE;
    }
    return s;
}

DWORD AsData(double v)
{
    return static_cast<DWORD>(static_cast<std::int32_t>(std::lround(v)));
}

void vConvertMouse(CInputDevice::Impl& im, const XIRawEvent& re, int evtype)
{
    const DWORD t = static_cast<DWORD>(re.time);
    if (evtype == XI_RawMotion) {
        DIDEVICEOBJECTDATA s = PointerState(im);
        const double* value = re.raw_values;
        bool bWheel = false;
        for (int i = 0; i < re.valuators.mask_len * 8; ++i) {
            if (!XIMaskIsSet(re.valuators.mask, i))
                continue;
            double v = *value++;
            if (i == 0)
                im.vPush(DIMOFS_X, AsData(v), t, s);
            else if (i == 1)
                im.vPush(DIMOFS_Y, AsData(v), t, s);
            else if (!bWheel) { // scroll valuators: one wheel record
                bWheel = true;
                im.vPush(DIMOFS_Z, AsData(v), t, s);
            }
        }
        return;
    }
    const bool bPress = evtype == XI_RawButtonPress;
    if (re.detail >= 4 && re.detail <= 7) {
        if (bPress) // a wheel notch: up and left count positive
            im.vPush(DIMOFS_Z, (re.detail == 4 || re.detail == 6) ? 120u : static_cast<DWORD>(-120), t, PointerState(im));
        return;
    }
    const int ofs = ButtonOffset(re.detail);
    if (ofs >= 0)
        im.vPush(static_cast<DWORD>(ofs), bPress ? 0x80u : 0u, t, PointerState(im));
}

void vConvertKey(CInputDevice::Impl& im, const XIRawEvent& re, int evtype)
{
    if (re.flags & XIKeyRepeat)
        return; // the device reports transitions only
    if (re.detail < 8)
        return;
    // X keycode - 8 is the evdev scan code, which is the DIK code for most keys.
    im.vPush(static_cast<DWORD>(re.detail - 8), evtype == XI_RawKeyPress ? 0x80u : 0u, static_cast<DWORD>(re.time),
        DIDEVICEOBJECTDATA{});
}

} // namespace

CInputDevice::CInputDevice(Kind k, std::unique_ptr<Impl> impl) : kind(k), pImpl(std::move(impl)) {}

std::unique_ptr<CInputDevice> CInputDevice::Create(Kind kind)
{
    XInitThreads();
    auto im = std::make_unique<Impl>();
    im->dpy = XOpenDisplay(nullptr);
    if (!im->dpy)
        return nullptr;
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(im->dpy, "XInputExtension", &im->nXiOpcode, &event, &error)
        || XIQueryVersion(im->dpy, &major, &minor) != Success || major < 2 || (major == 2 && minor < 1)) {
        XCloseDisplay(im->dpy);
        return nullptr;
    }
    im->root = DefaultRootWindow(im->dpy);

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (kind == KIND_MOUSE) {
        XISetMask(bits, XI_RawMotion);
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
    } else {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
    }
    // Master devices only: each slave's events arrive once, XTest's included.
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    int nError = 0;
    {
        CX11ErrorTrap trap(im->dpy);
        XISelectEvents(im->dpy, im->root, &mask, 1);
        // The mouse reader also watches the stacking of top-level windows.
        if (kind == KIND_MOUSE)
            XSelectInput(im->dpy, im->root, SubstructureNotifyMask);
        nError = trap.nSync();
    }
    im->nWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (nError != 0 || im->nWakeFd < 0) {
        if (im->nWakeFd >= 0)
            close(im->nWakeFd);
        XCloseDisplay(im->dpy);
        return nullptr;
    }
    return std::unique_ptr<CInputDevice>(new CInputDevice(kind, std::move(im)));
}

CInputDevice::~CInputDevice()
{
    // The reader thread is joined by now; the connection is ours alone.
    close(pImpl->nWakeFd);
    XCloseDisplay(pImpl->dpy);
}

void CInputDevice::vBindThread()
{
    CX11Display::vSetThreadDisplay(pImpl->dpy);
}

void CInputDevice::vUnbindThread()
{
    CX11Display::vSetThreadDisplay(nullptr);
}

CInputDevice::WaitResult CInputDevice::nWait()
{
    Impl& im = *pImpl;
    for (;;) {
        // A posted wake wins even under a stream of events.
        if (im.bWakeRequested.exchange(false, std::memory_order_acq_rel)) {
            std::uint64_t v = 0;
            ssize_t n = read(im.nWakeFd, &v, sizeof v);
            (void)n;
            return WAIT_WOKEN;
        }
        if (im.nCount > 0)
            return WAIT_RECORDS;
        while (im.nCount + Impl::nMaxPerEvent <= Impl::nCapacity && XPending(im.dpy) > 0) {
            XEvent ev;
            XNextEvent(im.dpy, &ev);
            XGenericEventCookie* cookie = &ev.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != im.nXiOpcode) {
                X11KeepOverlayOnTop(im.dpy, ev);
                continue;
            }
            if (!XGetEventData(im.dpy, cookie))
                continue;
            if (IsAcquired()) {
                const auto& re = *static_cast<const XIRawEvent*>(cookie->data);
                if (kind == KIND_MOUSE)
                    vConvertMouse(im, re, cookie->evtype);
                else
                    vConvertKey(im, re, cookie->evtype);
            }
            XFreeEventData(im.dpy, cookie);
        }
        if (im.nCount > 0)
            return WAIT_RECORDS;
        if (X11QuietConnectionLost())
            return WAIT_FAILED;
        pollfd fds[2] = {{ConnectionNumber(im.dpy), POLLIN, 0}, {im.nWakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return WAIT_FAILED;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return WAIT_FAILED;
    }
}

BOOL CInputDevice::bGetDeviceData(DIDEVICEOBJECTDATA& record)
{
    Impl& im = *pImpl;
    if (im.nCount == 0)
        return FALSE;
    record = im.ring[im.nHead];
    im.nHead = (im.nHead + 1) % Impl::nCapacity;
    --im.nCount;
    return TRUE;
}

void CInputDevice::vWake()
{
    const std::uint64_t one = 1;
    pImpl->bWakeRequested.store(true, std::memory_order_release);
    ssize_t n = write(pImpl->nWakeFd, &one, sizeof one);
    (void)n;
}
