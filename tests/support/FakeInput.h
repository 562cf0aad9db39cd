// KWin's fake-input protocol on a connection of the caller's own: pointer
// moves, left clicks and keys for a headless KWin. Header-only: the glue it
// needs is generated for each program that speaks the protocol.
#pragma once

#include "fake-input-client-protocol.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

class CFakeInput {
public:
    CFakeInput() = default;
    CFakeInput(const CFakeInput&) = delete;
    CFakeInput& operator=(const CFakeInput&) = delete;
    ~CFakeInput()
    {
        if (input)
            org_kde_kwin_fake_input_destroy(input);
        if (dpy)
            wl_display_disconnect(dpy);
    }

    // szWho: the name KWin is told asks for the input.
    bool bConnect(const std::string& strSocket, const char* szWho)
    {
        dpy = wl_display_connect(strSocket.c_str());
        if (!dpy)
            return false;
        wl_registry* registry = wl_display_get_registry(dpy);
        static const wl_registry_listener listener = {
            [](void* data, wl_registry* r, uint32_t name, const char* iface, uint32_t version) {
                if (!std::strcmp(iface, org_kde_kwin_fake_input_interface.name))
                    static_cast<CFakeInput*>(data)->input = static_cast<org_kde_kwin_fake_input*>(
                        wl_registry_bind(r, name, &org_kde_kwin_fake_input_interface, std::min(version, 4u)));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(dpy);
        wl_registry_destroy(registry);
        if (!input)
            return false;
        org_kde_kwin_fake_input_authenticate(input, szWho, "drive the pointer");
        return wl_display_roundtrip(dpy) >= 0;
    }
    // bWait: returns once KWin has taken the move; else only sends it.
    void vMoveTo(int x, int y, bool bWait = true)
    {
        org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_int(x), wl_fixed_from_int(y));
        if (bWait)
            wl_display_roundtrip(dpy);
        else
            wl_display_flush(dpy);
    }
    void vClick()
    {
        org_kde_kwin_fake_input_button(input, BTN_LEFT, 1);
        org_kde_kwin_fake_input_button(input, BTN_LEFT, 0);
        wl_display_roundtrip(dpy);
    }
    void vKey(uint32_t key)
    {
        org_kde_kwin_fake_input_keyboard_key(input, key, 1);
        org_kde_kwin_fake_input_keyboard_key(input, key, 0);
        wl_display_roundtrip(dpy);
    }
    void vSync() { wl_display_roundtrip(dpy); }

private:
    wl_display* dpy = nullptr;
    org_kde_kwin_fake_input* input = nullptr;
};
