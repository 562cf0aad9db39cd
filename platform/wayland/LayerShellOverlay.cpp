// The layer-shell overlay. The overlay thread owns every Wayland object once
// it runs: the UI thread leaves it the picture and the shown state under a
// mutex, the mouse thread the position in an atomic word, and both wake it
// through an eventfd. The thread sleeps in poll() on the connection and that
// eventfd, so it costs nothing while nothing happens. A move within the
// output the surface is on is committed by the mouse thread itself, under
// the lock the overlay thread holds while awake: one thread less to wake
// per motion.
#include "platform/wayland/LayerShellOverlay.h"

#include "platform/wayland/OverlayPlacement.h"

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t Pack(int x, int y)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
}
constexpr int UnpackX(std::uint64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v >> 32)); }
constexpr int UnpackY(std::uint64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }

// A fractional scale arrives in 120ths.
constexpr double kFractionDenominator = 120.0;

struct SOutput {
    CLayerShellOverlay::Impl* owner = nullptr;
    std::uint32_t nName = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    SOutputBox box;
    int nIntScale = 1;
    bool bLogicalKnown = false; // from xdg-output; else the mode over the scale
    int nModeWidth = 0, nModeHeight = 0;
};

// A shared-memory buffer holding one picture.
struct SBuffer {
    wl_buffer* buffer = nullptr;
    int nWidth = 0, nHeight = 0;
    int nPadScale = 1; // padded to a multiple of this (buffer scale without viewporter)
};

} // namespace

struct CLayerShellOverlay::Impl {
    wl_display* dpy = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractionMgr = nullptr;
    zxdg_output_manager_v1* xdgOutputMgr = nullptr;
    std::vector<std::unique_ptr<SOutput>> outputs;

    // The overlay thread's surface, on one output.
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layerSurface = nullptr;
    wp_viewport* viewport = nullptr;
    wp_fractional_scale_v1* fraction = nullptr;
    SOutput* surfaceOutput = nullptr;
    double dPreferredScale = 0; // from the fractional-scale object; 0 until told
    bool bConfigured = false;
    bool bAttached = false;
    int nLogicalWidth = 0, nLogicalHeight = 0;
    int nMarginLeft = 0, nMarginTop = 0;
    SBuffer buffer;
    CBitmap32 picture; // alpha folded in
    bool bShownNow = false;
    std::uint64_t nPlacedPos = 0;
    bool bPlaced = false;

    // Held by the overlay thread except while it sleeps, and by a mouse
    // thread that moves the surface itself.
    std::mutex state;
    // Left by the UI thread.
    std::mutex mailbox;
    CBitmap32 newPicture;
    bool bNewPicture = false;
    bool bShowWanted = false;
    // Left by any thread.
    std::atomic<std::uint64_t> nPos{0};
    std::atomic<std::uint64_t> nHotSpot{0};
    std::atomic<bool> bQuit{false};
    int wakeFd = -1;
    std::thread thread;

    void vWake() { eventfd_write(wakeFd, 1); }

    // Thread side.
    void vRun();
    void vApplyMailbox();
    BOOL bApplyPosition(bool bOnThread);
    // The mouse thread's move; false when the overlay thread must do it.
    BOOL bMoveFromCaller();
    void vCreateSurface(SOutput* on);
    void vDestroySurface();
    void vAttach();
    void vResizeForScale();
    double ScaleOf(const SOutput* o) const;
    std::vector<SOutputBox> Boxes() const;
    void vRemoveOutput(std::uint32_t nName);
    void vAddOutput(std::uint32_t nName, std::uint32_t nVersion);
    void vDestroyBuffer();
    BOOL bMakeBuffer(int nPadScale);
    void vDisconnect();
};

namespace {

// ---- outputs ----

void vOutputChanged(SOutput* o)
{
    if (!o->bLogicalKnown && o->nModeWidth > 0) {
        o->box.nWidth = o->nModeWidth / std::max(1, o->nIntScale);
        o->box.nHeight = o->nModeHeight / std::max(1, o->nIntScale);
    }
}

void OnOutputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*, const char*, int32_t)
{
    auto* o = static_cast<SOutput*>(data);
    if (!o->bLogicalKnown) {
        o->box.x = x;
        o->box.y = y;
    }
}
void OnOutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    auto* o = static_cast<SOutput*>(data);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        o->nModeWidth = width;
        o->nModeHeight = height;
        vOutputChanged(o);
    }
}
void OnOutputDone(void* data, wl_output*) { vOutputChanged(static_cast<SOutput*>(data)); }
void OnOutputScale(void* data, wl_output*, int32_t factor)
{
    auto* o = static_cast<SOutput*>(data);
    o->nIntScale = std::max(1, factor);
    vOutputChanged(o);
}
void OnOutputName(void*, wl_output*, const char*) {}
void OnOutputDescription(void*, wl_output*, const char*) {}
const wl_output_listener kOutputListener = {OnOutputGeometry, OnOutputMode, OnOutputDone, OnOutputScale,
    OnOutputName, OnOutputDescription};

void OnXdgPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    auto* o = static_cast<SOutput*>(data);
    o->bLogicalKnown = true;
    o->box.x = x;
    o->box.y = y;
}
void OnXdgSize(void* data, zxdg_output_v1*, int32_t width, int32_t height)
{
    auto* o = static_cast<SOutput*>(data);
    o->bLogicalKnown = true;
    o->box.nWidth = width;
    o->box.nHeight = height;
}
void OnXdgDone(void*, zxdg_output_v1*) {}
void OnXdgName(void*, zxdg_output_v1*, const char*) {}
void OnXdgDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener kXdgOutputListener = {OnXdgPosition, OnXdgSize, OnXdgDone, OnXdgName, OnXdgDescription};

// ---- globals ----

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* iface, uint32_t version)
{
    auto* im = static_cast<CLayerShellOverlay::Impl*>(data);
    auto bind = [&](const wl_interface* wanted, uint32_t nMax) {
        return wl_registry_bind(registry, name, wanted, std::min(version, nMax));
    };
    if (!std::strcmp(iface, wl_compositor_interface.name))
        im->compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    else if (!std::strcmp(iface, wl_shm_interface.name))
        im->shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    else if (!std::strcmp(iface, zwlr_layer_shell_v1_interface.name))
        im->layerShell = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 4));
    else if (!std::strcmp(iface, wp_viewporter_interface.name))
        im->viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
    else if (!std::strcmp(iface, wp_fractional_scale_manager_v1_interface.name))
        im->fractionMgr = static_cast<wp_fractional_scale_manager_v1*>(bind(&wp_fractional_scale_manager_v1_interface, 1));
    else if (!std::strcmp(iface, zxdg_output_manager_v1_interface.name)) {
        im->xdgOutputMgr = static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 3));
        for (auto& o : im->outputs)
            if (!o->xdgOutput) {
                o->xdgOutput = zxdg_output_manager_v1_get_xdg_output(im->xdgOutputMgr, o->output);
                zxdg_output_v1_add_listener(o->xdgOutput, &kXdgOutputListener, o.get());
            }
    } else if (!std::strcmp(iface, wl_output_interface.name))
        im->vAddOutput(name, version);
}
void OnGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    static_cast<CLayerShellOverlay::Impl*>(data)->vRemoveOutput(name);
}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// ---- the surface ----

void OnConfigure(void* data, zwlr_layer_surface_v1* ls, uint32_t serial, uint32_t, uint32_t)
{
    auto* im = static_cast<CLayerShellOverlay::Impl*>(data);
    zwlr_layer_surface_v1_ack_configure(ls, serial);
    im->bConfigured = true;
    if (!im->bAttached)
        im->vAttach();
}
void OnClosed(void* data, zwlr_layer_surface_v1*)
{
    // The compositor took the surface away (its output went, say): a new one
    // goes up at the next placement.
    auto* im = static_cast<CLayerShellOverlay::Impl*>(data);
    im->vDestroySurface();
    im->bPlaced = false;
}
const zwlr_layer_surface_v1_listener kLayerSurfaceListener = {OnConfigure, OnClosed};

void OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale)
{
    auto* im = static_cast<CLayerShellOverlay::Impl*>(data);
    im->dPreferredScale = scale / kFractionDenominator;
    im->vResizeForScale();
}
const wp_fractional_scale_v1_listener kFractionListener = {OnPreferredScale};

} // namespace

void CLayerShellOverlay::Impl::vAddOutput(std::uint32_t nName, std::uint32_t nVersion)
{
    auto o = std::make_unique<SOutput>();
    o->owner = this;
    o->nName = nName;
    o->output = static_cast<wl_output*>(wl_registry_bind(registry, nName, &wl_output_interface, std::min(nVersion, 3u)));
    wl_output_add_listener(o->output, &kOutputListener, o.get());
    if (xdgOutputMgr) {
        o->xdgOutput = zxdg_output_manager_v1_get_xdg_output(xdgOutputMgr, o->output);
        zxdg_output_v1_add_listener(o->xdgOutput, &kXdgOutputListener, o.get());
    }
    outputs.push_back(std::move(o));
}

void CLayerShellOverlay::Impl::vRemoveOutput(std::uint32_t nName)
{
    auto it = std::find_if(outputs.begin(), outputs.end(), [&](const auto& o) { return o->nName == nName; });
    if (it == outputs.end())
        return;
    if (surfaceOutput == it->get()) {
        vDestroySurface();
        bPlaced = false;
    }
    if ((*it)->xdgOutput)
        zxdg_output_v1_destroy((*it)->xdgOutput);
    if (wl_output_get_version((*it)->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release((*it)->output);
    else
        wl_output_destroy((*it)->output);
    outputs.erase(it);
    if (bShownNow)
        bApplyPosition(true); // onto the output now under the pointer
}

double CLayerShellOverlay::Impl::ScaleOf(const SOutput* o) const
{
    if (o == surfaceOutput && dPreferredScale > 0)
        return dPreferredScale;
    return o->nIntScale;
}

std::vector<SOutputBox> CLayerShellOverlay::Impl::Boxes() const
{
    std::vector<SOutputBox> boxes;
    boxes.reserve(outputs.size());
    for (const auto& o : outputs) {
        SOutputBox b = o->box;
        b.dScale = ScaleOf(o.get());
        boxes.push_back(b);
    }
    return boxes;
}

void CLayerShellOverlay::Impl::vDestroyBuffer()
{
    if (buffer.buffer)
        wl_buffer_destroy(buffer.buffer);
    buffer = SBuffer{};
}

// The picture in a new shared-memory buffer, padded with transparent pixels
// to a multiple of nPadScale (a buffer scale needs whole logical pixels).
BOOL CLayerShellOverlay::Impl::bMakeBuffer(int nPadScale)
{
    vDestroyBuffer();
    if (picture.IsEmpty())
        return false;
    const int w = (picture.Width() + nPadScale - 1) / nPadScale * nPadScale;
    const int h = (picture.Height() + nPadScale - 1) / nPadScale * nPadScale;
    const int stride = w * 4;
    const std::size_t size = static_cast<std::size_t>(stride) * h;
    const int fd = memfd_create("lumicue-overlay", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    bool bOk = ftruncate(fd, static_cast<off_t>(size)) == 0;
    void* pMap = bOk ? mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (pMap != MAP_FAILED) {
        // A wl_shm ARGB8888 pixel is our premultiplied 0xAARRGGBB word.
        auto* rows = static_cast<std::uint8_t*>(pMap);
        for (int y = 0; y < picture.Height(); ++y)
            std::memcpy(rows + static_cast<std::size_t>(y) * stride, picture.Row(y), static_cast<std::size_t>(picture.Stride()));
        munmap(pMap, size);
        wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(size));
        buffer.buffer = wl_shm_pool_create_buffer(pool, 0, w, h, stride, WL_SHM_FORMAT_ARGB8888);
        wl_shm_pool_destroy(pool);
        buffer.nWidth = w;
        buffer.nHeight = h;
        buffer.nPadScale = nPadScale;
    } else {
        bOk = false;
    }
    close(fd);
    return bOk && buffer.buffer;
}

void CLayerShellOverlay::Impl::vCreateSurface(SOutput* on)
{
    vDestroySurface();
    surfaceOutput = on;
    surface = wl_compositor_create_surface(compositor);
    wl_region* empty = wl_compositor_create_region(compositor);
    wl_surface_set_input_region(surface, empty); // nothing added: clicks fall through
    wl_region_destroy(empty);
    if (fractionMgr) {
        fraction = wp_fractional_scale_manager_v1_get_fractional_scale(fractionMgr, surface);
        wp_fractional_scale_v1_add_listener(fraction, &kFractionListener, this);
    }
    if (viewporter)
        viewport = wp_viewporter_get_viewport(viewporter, surface);
    layerSurface = zwlr_layer_shell_v1_get_layer_surface(layerShell, surface, on->output,
        ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "lumicue");
    zwlr_layer_surface_v1_add_listener(layerSurface, &kLayerSurfaceListener, this);
    zwlr_layer_surface_v1_set_anchor(layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    zwlr_layer_surface_v1_set_exclusive_zone(layerSurface, -1); // margins count from the output's edge
    zwlr_layer_surface_v1_set_keyboard_interactivity(layerSurface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    const double s = ScaleOf(on);
    nLogicalWidth = LogicalLength(picture.Width(), s);
    nLogicalHeight = LogicalLength(picture.Height(), s);
    zwlr_layer_surface_v1_set_size(layerSurface, static_cast<uint32_t>(nLogicalWidth), static_cast<uint32_t>(nLogicalHeight));
    zwlr_layer_surface_v1_set_margin(layerSurface, nMarginTop, 0, 0, nMarginLeft);
    wl_surface_commit(surface); // no buffer yet: asks for the first configure
}

void CLayerShellOverlay::Impl::vDestroySurface()
{
    if (layerSurface)
        zwlr_layer_surface_v1_destroy(layerSurface);
    if (viewport)
        wp_viewport_destroy(viewport);
    if (fraction)
        wp_fractional_scale_v1_destroy(fraction);
    if (surface)
        wl_surface_destroy(surface);
    layerSurface = nullptr;
    viewport = nullptr;
    fraction = nullptr;
    surface = nullptr;
    surfaceOutput = nullptr;
    dPreferredScale = 0;
    bConfigured = bAttached = false;
}

// The picture onto the configured surface, at the output's scale: through
// the viewport where there is one (any scale), else as a buffer scale.
void CLayerShellOverlay::Impl::vAttach()
{
    if (!surface || !bConfigured || picture.IsEmpty())
        return;
    const double s = ScaleOf(surfaceOutput);
    const int nPad = viewport ? 1 : std::max(1, static_cast<int>(s));
    if (!buffer.buffer || buffer.nPadScale != nPad)
        if (!bMakeBuffer(nPad))
            return;
    if (viewport)
        wp_viewport_set_destination(viewport, nLogicalWidth, nLogicalHeight);
    else
        wl_surface_set_buffer_scale(surface, nPad);
    wl_surface_attach(surface, buffer.buffer, 0, 0);
    wl_surface_damage(surface, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(surface);
    bAttached = true;
}

// The surface's output told its scale: the picture keeps one device pixel
// per picture pixel, so its logical size (and the margins) change.
void CLayerShellOverlay::Impl::vResizeForScale()
{
    if (!layerSurface)
        return;
    const double s = ScaleOf(surfaceOutput);
    const int w = LogicalLength(picture.Width(), s), h = LogicalLength(picture.Height(), s);
    if (w == nLogicalWidth && h == nLogicalHeight)
        return;
    nLogicalWidth = w;
    nLogicalHeight = h;
    zwlr_layer_surface_v1_set_size(layerSurface, static_cast<uint32_t>(w), static_cast<uint32_t>(h));
    bPlaced = false;
    bApplyPosition(true);
    if (bConfigured) {
        bAttached = false;
        vAttach();
    }
}

void CLayerShellOverlay::Impl::vApplyMailbox()
{
    bool bShow;
    {
        std::lock_guard<std::mutex> lock(mailbox);
        if (bNewPicture) {
            picture = std::move(newPicture);
            bNewPicture = false;
            vDestroyBuffer();
            if (surface) {
                bAttached = false;
                // A new size needs a new configure; the same size only a new buffer.
                const double s = ScaleOf(surfaceOutput);
                const int w = LogicalLength(picture.Width(), s), h = LogicalLength(picture.Height(), s);
                if (picture.IsEmpty() || w != nLogicalWidth || h != nLogicalHeight) {
                    // A mapped layer surface keeps the size it was configured
                    // with: a new one goes up at the next placement.
                    vDestroySurface();
                    bPlaced = false;
                } else {
                    vAttach();
                }
            }
        }
        bShow = bShowWanted;
    }
    if (bShow != bShownNow) {
        bShownNow = bShow;
        if (!bShow) {
            vDestroySurface();
            bPlaced = false;
        }
    }
}

// The latest position onto the surface: a margin change and a commit, or,
// on the overlay thread alone (bOnThread), a new surface when the pointer
// crossed onto another output. False when that is left to the overlay thread.
BOOL CLayerShellOverlay::Impl::bApplyPosition(bool bOnThread)
{
    if (!bShownNow || picture.IsEmpty() || outputs.empty())
        return true;
    const std::uint64_t pos = nPos.load(std::memory_order_relaxed);
    if (bPlaced && pos == nPlacedPos && surface)
        return true;
    const std::uint64_t hot = nHotSpot.load(std::memory_order_relaxed);
    const std::vector<SOutputBox> boxes = Boxes();
    const SOverlayPlace place = PlaceOverlay(boxes.data(), boxes.size(), UnpackX(pos), UnpackY(pos), UnpackX(hot), UnpackY(hot));
    if (place.nOutput < 0)
        return true;
    SOutput* on = outputs[static_cast<std::size_t>(place.nOutput)].get();
    const bool bNewSurface = !surface || on != surfaceOutput;
    if (bNewSurface && !bOnThread)
        return false;
    nPlacedPos = pos;
    bPlaced = true;
    nMarginLeft = place.nMarginLeft;
    nMarginTop = place.nMarginTop;
    if (bNewSurface) {
        vCreateSurface(on);
        return true;
    }
    zwlr_layer_surface_v1_set_margin(layerSurface, nMarginTop, 0, 0, nMarginLeft);
    wl_surface_commit(surface);
    return true;
}

BOOL CLayerShellOverlay::Impl::bMoveFromCaller()
{
    std::unique_lock<std::mutex> hold(state, std::try_to_lock);
    if (!hold.owns_lock() || !surface || !bShownNow || picture.IsEmpty())
        return false;
    // A full socket is left to the overlay thread, which waits for room.
    return bApplyPosition(false) && wl_display_flush(dpy) >= 0;
}

void CLayerShellOverlay::Impl::vRun()
{
    const int fd = wl_display_get_fd(dpy);
    std::unique_lock<std::mutex> hold(state);
    while (!bQuit.load()) {
        while (wl_display_prepare_read(dpy) != 0)
            if (wl_display_dispatch_pending(dpy) < 0)
                return;
        // Requests out first; a full socket waits for room with the rest.
        short nOut = 0;
        if (wl_display_flush(dpy) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(dpy);
                return;
            }
            nOut = POLLOUT;
        }
        pollfd fds[2] = {{fd, static_cast<short>(POLLIN | nOut), 0}, {wakeFd, POLLIN, 0}};
        hold.unlock();
        const int nPolled = poll(fds, 2, -1);
        hold.lock();
        if (nPolled < 0) {
            wl_display_cancel_read(dpy);
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents & POLLIN) {
            if (wl_display_read_events(dpy) < 0)
                return;
        } else {
            wl_display_cancel_read(dpy);
        }
        if (fds[0].revents & (POLLERR | POLLHUP))
            return; // the compositor went away: nothing more to show
        if (wl_display_dispatch_pending(dpy) < 0)
            return;
        if (fds[1].revents & POLLIN) {
            std::uint64_t n;
            if (read(wakeFd, &n, sizeof n) < 0 && errno != EAGAIN)
                return;
            vApplyMailbox();
        }
        bApplyPosition(true);
    }
}

void CLayerShellOverlay::Impl::vDisconnect()
{
    std::lock_guard<std::mutex> hold(state); // a late move finds no surface
    vDestroySurface();
    vDestroyBuffer();
    for (auto& o : outputs) {
        if (o->xdgOutput)
            zxdg_output_v1_destroy(o->xdgOutput);
        wl_output_destroy(o->output);
    }
    outputs.clear();
    if (xdgOutputMgr)
        zxdg_output_manager_v1_destroy(xdgOutputMgr);
    if (fractionMgr)
        wp_fractional_scale_manager_v1_destroy(fractionMgr);
    if (viewporter)
        wp_viewporter_destroy(viewporter);
    if (layerShell)
        zwlr_layer_shell_v1_destroy(layerShell);
    if (shm)
        wl_shm_destroy(shm);
    if (compositor)
        wl_compositor_destroy(compositor);
    if (registry)
        wl_registry_destroy(registry);
    xdgOutputMgr = nullptr;
    fractionMgr = nullptr;
    viewporter = nullptr;
    layerShell = nullptr;
    shm = nullptr;
    compositor = nullptr;
    registry = nullptr;
    if (dpy) {
        wl_display_flush(dpy);
        wl_display_disconnect(dpy);
    }
    dpy = nullptr;
    if (wakeFd >= 0)
        close(wakeFd);
    wakeFd = -1;
}

CLayerShellOverlay::CLayerShellOverlay() = default;

CLayerShellOverlay::~CLayerShellOverlay()
{
    vDestroy();
}

unsigned long CLayerShellOverlay::nCreate()
{
    if (pImpl)
        return 1;
    auto im = std::make_unique<Impl>();
    im->dpy = wl_display_connect(nullptr);
    if (!im->dpy)
        return 0;
    im->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    im->registry = wl_display_get_registry(im->dpy);
    wl_registry_add_listener(im->registry, &kRegistryListener, im.get());
    // The globals, then what the outputs say about themselves.
    if (im->wakeFd < 0 || wl_display_roundtrip(im->dpy) < 0 || wl_display_roundtrip(im->dpy) < 0
        || !im->compositor || !im->shm || !im->layerShell) {
        im->vDisconnect();
        return 0;
    }
    Impl* raw = im.get();
    im->thread = std::thread([raw] { raw->vRun(); });
    pImpl = std::move(im);
    return 1;
}

void CLayerShellOverlay::vDestroy()
{
    if (!pImpl)
        return;
    vTellShown(false);
    pImpl->bQuit.store(true);
    pImpl->vWake();
    if (pImpl->thread.joinable())
        pImpl->thread.join();
    pImpl->vDisconnect();
    pImpl.reset();
}

BOOL CLayerShellOverlay::bUpdate(const CBitmap32& bitmap, std::uint8_t nConstantAlpha)
{
    if (!pImpl)
        return FALSE;
    CBitmap32 folded;
    if (!folded.bCopyFrom(bitmap))
        return FALSE;
    if (nConstantAlpha != 255) {
        std::uint32_t* px = folded.Bits();
        for (std::size_t i = 0, n = folded.PixelCount(); i < n; ++i)
            px[i] = CBitmap32::ScalePixel(px[i], nConstantAlpha);
    }
    {
        std::lock_guard<std::mutex> lock(pImpl->mailbox);
        pImpl->newPicture = std::move(folded);
        pImpl->bNewPicture = true;
    }
    pImpl->vWake();
    return TRUE;
}

void CLayerShellOverlay::vShow(BOOL bShow)
{
    if (!pImpl)
        return;
    {
        std::lock_guard<std::mutex> lock(pImpl->mailbox);
        pImpl->bShowWanted = bShow != FALSE;
    }
    pImpl->vWake();
    vTellShown(bShow != FALSE);
}

void CLayerShellOverlay::vTellShown(bool bShown)
{
    if (bShown == bShownLast)
        return;
    bShownLast = bShown;
    if (fnShown)
        fnShown(bShown);
}

void CLayerShellOverlay::vSetHotSpot(int x, int y)
{
    if (!pImpl)
        return;
    pImpl->nHotSpot.store(Pack(x, y), std::memory_order_relaxed);
    pImpl->vWake();
}

void CLayerShellOverlay::vMove(int x, int y)
{
    Impl* im = pImpl.get();
    if (!im)
        return;
    if (im->nPos.exchange(Pack(x, y), std::memory_order_relaxed) != Pack(x, y) && !im->bMoveFromCaller())
        im->vWake();
}
