// One registry round trip on a short-lived connection.
#include "platform/wayland/WaylandProbe.h"

#include <wayland-client.h>

#include <cstring>

namespace {

void OnGlobal(void* data, wl_registry*, uint32_t, const char* iface, uint32_t)
{
    if (!std::strcmp(iface, "zwlr_layer_shell_v1"))
        *static_cast<bool*>(data) = true;
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {OnGlobal, OnGlobalRemove};

} // namespace

BOOL bCompositorOffersLayerShell()
{
    wl_display* dpy = wl_display_connect(nullptr);
    if (!dpy)
        return false;
    bool bFound = false;
    wl_registry* registry = wl_display_get_registry(dpy);
    wl_registry_add_listener(registry, &kListener, &bFound);
    const bool bOk = wl_display_roundtrip(dpy) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(dpy);
    return bOk && bFound;
}
