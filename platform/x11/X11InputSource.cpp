// Global mouse and keyboard from XInput2 raw events on the device's own X
// connection, turned into DirectInput-style records. The reader thread
// sleeps in poll() on that connection and a wake-up eventfd. Motions are
// summed while the cursor query for them is on its way (sent without
// waiting for the answer), so the motions of one round trip become one set
// of records and one move: a fast mouse or a busy machine never makes the
// reader fall behind, and events never pile up unread. Once the mouse
// outpaces the queries (8000 Hz, say), it is read once per query gap while
// it moves: the reader sleeps on a timer instead of waking for every motion,
// and each gap costs one query and one move.
#include "platform/x11/X11InputSource.h"
#include "platform/x11/QueryPacer.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11WorkerConnection.h"

#include <X11/Xlib-xcb.h>
#include <X11/extensions/XInput2.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h> // xcb_poll_for_reply

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <poll.h>

// One XInput 2 raw event as XCB hands it over: the 32-byte header, the
// 4-byte full sequence XCB inserts after it, the valuator mask, the
// processed values and the raw values (FP3232 each).
struct SRawEvent {
    static constexpr int nMaxAxes = 8; // x, y and the scroll axes come first
    int evtype = 0;
    DWORD dwTime = 0;
    std::uint32_t nDetail = 0;
    std::uint32_t nFlags = 0;
    int nAxes = 0;
    int axis[nMaxAxes] = {};
    double raw[nMaxAxes] = {};
};

BOOL bParseRawEvent(const xcb_generic_event_t* ev, int nXiOpcode, SRawEvent& out)
{
    auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(ev);
    if ((ev->response_type & 0x7F) != XCB_GE_GENERIC || ge->extension != nXiOpcode)
        return false;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(ev);
    const std::size_t nTotal = 32 + 4 + static_cast<std::size_t>(ge->length) * 4;
    auto u16 = [&](std::size_t at) { std::uint16_t v; std::memcpy(&v, bytes + at, 2); return v; };
    auto u32 = [&](std::size_t at) { std::uint32_t v; std::memcpy(&v, bytes + at, 4); return v; };
    out.evtype = u16(8);
    out.dwTime = u32(12);
    out.nDetail = u32(16);
    const std::size_t nMaskWords = u16(22);
    out.nFlags = u32(24);
    const std::size_t maskAt = 36, valuesAt = maskAt + nMaskWords * 4;
    if (valuesAt > nTotal)
        return false; // shorter than its mask says
    int nSet = 0;
    for (std::size_t bit = 0; bit < nMaskWords * 32; ++bit)
        nSet += (u32(maskAt + bit / 32 * 4) >> (bit % 32)) & 1;
    const std::size_t rawAt = valuesAt + static_cast<std::size_t>(nSet) * 8;
    if (rawAt + static_cast<std::size_t>(nSet) * 8 > nTotal)
        return false; // shorter than its values say
    out.nAxes = 0;
    int i = 0;
    for (std::size_t bit = 0; bit < nMaskWords * 32 && out.nAxes < SRawEvent::nMaxAxes; ++bit) {
        if (!((u32(maskAt + bit / 32 * 4) >> (bit % 32)) & 1))
            continue;
        const std::size_t at = rawAt + static_cast<std::size_t>(i++) * 8;
        out.axis[out.nAxes] = static_cast<int>(bit);
        out.raw[out.nAxes++] = static_cast<std::int32_t>(u32(at)) + u32(at + 4) / 4294967296.0;
    }
    return true;
}

// Raw motions summed until the cursor position that covers them is known.
struct SMotionSum {
    bool bX = false, bY = false, bWheel = false;
    double dx = 0, dy = 0, wheel = 0;
    DWORD dwTime = 0;

    BOOL bAny() const { return bX || bY || bWheel; }
    void vAdd(const SRawEvent& re)
    {
        bool bWheelSeen = false;
        for (int i = 0; i < re.nAxes; ++i) {
            const double v = re.raw[i];
            if (re.axis[i] == 0) {
                bX = true;
                dx += v;
            } else if (re.axis[i] == 1) {
                bY = true;
                dy += v;
            } else if (!bWheelSeen) { // scroll valuators: the first counts
                bWheelSeen = bWheel = true;
                wheel += v;
            }
        }
        dwTime = re.dwTime;
    }
};

// The least time between two cursor queries, and so between two moves. A
// 1000 Hz mouse is never held back by it; an 8000 Hz one has its motions
// summed in twos and threes, which spares the X server and the compositor
// moves and repaints the screen could never show.
constexpr std::int64_t kQueryGapNs = 200'000;

struct SX11Input {
    // Room for many events' worth of records; the reader drains it after
    // every wait, and events stay in XCB's queue while it is full.
    static constexpr unsigned nCapacity = 64;
    static constexpr unsigned nMaxPerEvent = 3;

    std::unique_ptr<CX11WorkerConnection> conn; // the reader thread's alone
    Window root = 0;
    int nXiOpcode = 0;
    // Set before the descriptor is written: the reader checks the flag, not
    // the descriptor, on every pass, and reads the descriptor only to sleep.
    std::atomic<bool> bWakeRequested{false};
    DIDEVICEOBJECTDATA ring[nCapacity];
    unsigned nHead = 0;
    unsigned nCount = 0;
    DWORD dwSequence = 0;
    // The cursor query in flight, if any. Motions read before it was sent
    // are covered by its answer; those read after wait for the next one.
    xcb_connection_t* xcb = nullptr;
    bool bQueryPending = false;
    unsigned int nQuerySequence = 0;
    SMotionSum sent;
    SMotionSum unsent;
    CQueryPacer pacer{kQueryGapNs};
    // The socket may hold unread bytes: set when poll() says so or a timer
    // sleep ends. Otherwise only what XCB has already read is taken, which
    // spares a read that would find nothing after every pass.
    bool bReadable = true;

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

// A cursor answer as the state every record it covers carries (Xlib's and
// XCB's modifier bits are the same).
DIDEVICEOBJECTDATA StateOf(int x, int y, unsigned int mask)
{
    DIDEVICEOBJECTDATA s;
    s.x = x;
    s.y = y;
    s.bCtrl = (mask & XCB_MOD_MASK_CONTROL) ? TRUE : FALSE;
    s.bShift = (mask & XCB_MOD_MASK_SHIFT) ? TRUE : FALSE;
    return s;
}

// The cursor now: one round trip. The modifier keys count only while the
// cursor is on this screen.
DIDEVICEOBJECTDATA PointerState(SX11Input& im)
{
    Window root, child;
    int x = 0, y = 0, wx, wy;
    unsigned int mask = 0;
    const bool bSameScreen = XQueryPointer(im.conn->dpy, im.root, &root, &child, &x, &y, &wx, &wy, &mask);
    return StateOf(x, y, bSameScreen ? mask : 0);
}

DWORD AsData(double v)
{
    return static_cast<DWORD>(static_cast<std::int32_t>(std::lround(v)));
}

// The summed motion as records, all with the same cursor state.
void vPushMotion(SX11Input& im, SMotionSum& sum, const DIDEVICEOBJECTDATA& s)
{
    if (sum.bX)
        im.vPush(DIMOFS_X, AsData(sum.dx), sum.dwTime, s);
    if (sum.bY)
        im.vPush(DIMOFS_Y, AsData(sum.dy), sum.dwTime, s);
    if (sum.bWheel)
        im.vPush(DIMOFS_Z, AsData(sum.wheel), sum.dwTime, s);
    sum = SMotionSum{};
}

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Sends the query for the summed motions, or holds them until the gap ends.
void vSendQuery(SX11Input& im)
{
    if (!im.pacer.bMayQuery(NowNs()))
        return;
    im.nQuerySequence = xcb_query_pointer(im.xcb, static_cast<xcb_window_t>(im.root)).sequence;
    im.bQueryPending = true;
    xcb_flush(im.xcb);
}

// The answer to the query in flight, when it has come: the motions it covers
// become records, and the motions read since get a query of their own.
void vTakeAnswer(SX11Input& im)
{
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (!im.bQueryPending || !xcb_poll_for_reply(im.xcb, im.nQuerySequence, &reply, &error))
        return;
    im.bQueryPending = false;
    if (auto* r = static_cast<xcb_query_pointer_reply_t*>(reply))
        vPushMotion(im, im.sent, StateOf(r->root_x, r->root_y, r->mask));
    std::free(reply);
    std::free(error);
    im.sent = im.unsent;
    im.unsent = SMotionSum{};
    if (im.sent.bAny()) {
        im.pacer.vOutpaced();
        vSendQuery(im);
    }
}

// The record a button event makes, if any.
BOOL bButtonRecord(const SRawEvent& re, DWORD& dwOfs, DWORD& dwData)
{
    const bool bPress = re.evtype == XI_RawButtonPress;
    if (re.nDetail >= 4 && re.nDetail <= 7) {
        // A wheel notch, up and left positive; its release is nothing.
        dwOfs = DIMOFS_Z;
        dwData = (re.nDetail == 4 || re.nDetail == 6) ? 120u : static_cast<DWORD>(-120);
        return bPress;
    }
    const int ofs = ButtonOffset(static_cast<int>(re.nDetail));
    dwOfs = static_cast<DWORD>(ofs);
    dwData = bPress ? 0x80u : 0u;
    return ofs >= 0;
}

// Every motion read so far goes out before the button, all with one position
// read now (buttons are rare; the order of records is kept).
void vConvertButton(SX11Input& im, const SRawEvent& re)
{
    DWORD dwOfs = 0, dwData = 0;
    if (!bButtonRecord(re, dwOfs, dwData))
        return;
    if (im.bQueryPending) {
        xcb_discard_reply(im.xcb, im.nQuerySequence);
        im.bQueryPending = false;
    }
    const DIDEVICEOBJECTDATA s = PointerState(im);
    vPushMotion(im, im.sent, s);
    vPushMotion(im, im.unsent, s);
    im.vPush(dwOfs, dwData, re.dwTime, s);
}

void vConvertKey(SX11Input& im, const SRawEvent& re)
{
    if (re.nFlags & XIKeyRepeat)
        return; // the device reports transitions only
    if (re.nDetail < 8)
        return;
    // X keycode - 8 is the evdev scan code, which is the DIK code for most keys.
    im.vPush(static_cast<DWORD>(re.nDetail - 8), re.evtype == XI_RawKeyPress ? 0x80u : 0u, re.dwTime,
        DIDEVICEOBJECTDATA{});
}

// Takes the events XCB has, after at most one socket read, and only when
// the socket may hold more: a flood never piles up in memory, and a pass
// after the reader's own move costs no read.
// True when it stopped with events possibly left (the caller reads again
// before sleeping).
BOOL bReadQueued(SX11Input& im, CInputDevice::Kind kind, bool bAcquired)
{
    constexpr int nMaxPerPass = 512;
    // Room for both motion sums, one more event's records and an answer.
    constexpr unsigned nRoom = SX11Input::nCapacity - 4 * SX11Input::nMaxPerEvent;
    int nMotions = 0;
    // False when XCB has no more events at hand; true when the pass is full.
    const auto bTake = [&](int& n) {
        for (;; ++n) {
            if (n == nMaxPerPass || im.nCount > nRoom)
                return true;
            xcb_generic_event_t* ev = im.bReadable ? xcb_poll_for_event(im.xcb) : xcb_poll_for_queued_event(im.xcb);
            im.bReadable = false;
            if (!ev)
                return false;
            SRawEvent re;
            if (bAcquired && bParseRawEvent(ev, im.nXiOpcode, re)) {
                if (kind == CInputDevice::KIND_KEYBOARD)
                    vConvertKey(im, re);
                else if (re.evtype == XI_RawMotion) {
                    (im.bQueryPending ? im.unsent : im.sent).vAdd(re);
                    ++nMotions;
                }
                else
                    vConvertButton(im, re);
            }
            std::free(ev); // anything else (an error of a move, say) is dropped
        }
    };
    int n = 0;
    bool bMore = bTake(n);
    if (kind == CInputDevice::KIND_MOUSE && im.nCount + SX11Input::nMaxPerEvent <= SX11Input::nCapacity) {
        // Looking for the answer, and sending a query (XCB reads while it
        // writes), may read events off the socket: they wait in XCB's queue,
        // where poll() would never see them, so the queue is taken again.
        vTakeAnswer(im);
        if (!im.bQueryPending && im.sent.bAny())
            vSendQuery(im);
        if (!bMore)
            bMore = bTake(n);
    }
    if (nMotions > 1)
        im.pacer.vOutpaced();
    return bMore;
}

} // namespace

CX11InputSource::CX11InputSource(CInputDevice::Kind k, std::unique_ptr<SX11Input> p) : kind(k), pImpl(std::move(p)) {}

std::unique_ptr<CInputSource> CX11InputSource::Create(CInputDevice::Kind kind)
{
    auto im = std::make_unique<SX11Input>();
    im->conn = CX11WorkerConnection::Open();
    if (!im->conn)
        return nullptr;
    Display* const dpy = im->conn->dpy;
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(dpy, "XInputExtension", &im->nXiOpcode, &event, &error)
        || XIQueryVersion(dpy, &major, &minor) != Success || major < 2 || (major == 2 && minor < 1))
        return nullptr;
    im->root = DefaultRootWindow(dpy);

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (kind == CInputDevice::KIND_MOUSE) {
        XISetMask(bits, XI_RawMotion);
        XISetMask(bits, XI_RawButtonPress);
        XISetMask(bits, XI_RawButtonRelease);
    } else {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
    }
    // Master devices only: each slave's events arrive once, XTest's included.
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    {
        CX11ErrorTrap trap(dpy);
        XISelectEvents(dpy, im->root, &mask, 1);
        if (trap.nSync() != 0)
            return nullptr;
    }
    // From here on the events are read through XCB, one socket read at a time.
    im->xcb = XGetXCBConnection(dpy);
    XSetEventQueueOwner(dpy, XCBOwnsEventQueue);
    return std::unique_ptr<CInputSource>(new CX11InputSource(kind, std::move(im)));
}

// The reader thread is joined by now; the connection is ours alone.
CX11InputSource::~CX11InputSource() = default;

void CX11InputSource::vBindThread()
{
    CX11Display::vSetThreadDisplay(pImpl->conn->dpy);
}

void CX11InputSource::vUnbindThread()
{
    CX11Display::vSetThreadDisplay(nullptr);
}

CInputDevice::WaitResult CX11InputSource::nWait(const std::atomic<bool>& bAcquired)
{
    SX11Input& im = *pImpl;
    for (;;) {
        // A posted wake wins even under a stream of events.
        if (im.bWakeRequested.exchange(false, std::memory_order_acq_rel)) {
            im.conn->vTakeWake();
            return CInputDevice::WAIT_WOKEN;
        }
        if (im.nCount > 0)
            return CInputDevice::WAIT_RECORDS;
        const bool bMore = bReadQueued(im, kind, bAcquired.load());
        if (im.nCount > 0)
            return CInputDevice::WAIT_RECORDS;
        if (X11QuietConnectionLost())
            return CInputDevice::WAIT_FAILED;
        if (bMore)
            continue;
        if (!im.bQueryPending && im.pacer.bPacing()) {
            // The rest of a query gap is slept on the wake descriptor alone:
            // the motions that come meanwhile wait in the socket.
            const std::int64_t ns = im.pacer.SleepNs(NowNs(), im.sent.bAny());
            if (ns > 0) {
                if (im.conn->nSleep(std::chrono::nanoseconds{ns}) < 0)
                    return CInputDevice::WAIT_FAILED;
                im.bReadable = true;
            }
            if (ns >= 0)
                continue;
        }
        pollfd fds[2] = {{ConnectionNumber(im.conn->dpy), POLLIN, 0}, {im.conn->nWakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return CInputDevice::WAIT_FAILED;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return CInputDevice::WAIT_FAILED;
        im.bReadable = (fds[0].revents & POLLIN) != 0;
    }
}

BOOL CX11InputSource::bGetDeviceData(DIDEVICEOBJECTDATA& record)
{
    SX11Input& im = *pImpl;
    if (im.nCount == 0)
        return FALSE;
    record = im.ring[im.nHead];
    im.nHead = (im.nHead + 1) % SX11Input::nCapacity;
    --im.nCount;
    return TRUE;
}

void CX11InputSource::vWake()
{
    pImpl->bWakeRequested.store(true, std::memory_order_release);
    pImpl->conn->vWake();
}
