// Hotkeys over X: a passive key grab on the root window of the UI
// connection for every combination of the lock keys, since X matches
// modifiers exactly and NumLock or CapsLock being on must not matter.
// Auto-repeat presses post WM_HOTKEY too, as Windows does. The grabs follow
// the keyboard layout: a registration names a virtual key, so when the
// mapping changes (setxkbmap, a new keyboard) each key is grabbed again on
// the keycode that now carries it.
#include "platform/x11/X11Route.h"

#include "platform/ui/Wnd.h"
#include "platform/x11/KeySymsX11.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11ErrorTrap.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace {

struct Registration {
    CWnd* target;
    int id;
    UINT modifiers;
    UINT vk;
    KeyCode keycode;  // 0 while the layout has no key for vk
    unsigned int xmods;
    std::vector<unsigned int> locks;  // the lock-key variants grabbed
};

std::vector<Registration> g_registrations;
int g_handlerToken = 0;

constexpr unsigned int RELEVANT_MODS = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;

unsigned int XModifiers(UINT mods)
{
    unsigned int x = 0;
    if (mods & MOD_ALT)
        x |= Mod1Mask;
    if (mods & MOD_CONTROL)
        x |= ControlMask;
    if (mods & MOD_SHIFT)
        x |= ShiftMask;
    if (mods & MOD_WIN)
        x |= Mod4Mask;
    return x;
}

// The modifier bit NumLock sits on in this server's modifier map.
unsigned int NumLockMask(Display* dpy)
{
    unsigned int mask = 0;
    const KeyCode numLock = XKeysymToKeycode(dpy, XK_Num_Lock);
    XModifierKeymap* map = XGetModifierMapping(dpy);
    if (!map)
        return 0;
    for (int mod = 0; mod < 8 && numLock != 0; ++mod)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[mod * map->max_keypermod + k] == numLock)
                mask = 1u << mod;
    XFreeModifiermap(map);
    return mask;
}

std::vector<unsigned int> LockVariants(Display* dpy)
{
    const unsigned int numLock = NumLockMask(dpy);
    std::vector<unsigned int> variants = {0, LockMask};
    if (numLock && numLock != LockMask) {
        variants.push_back(numLock);
        variants.push_back(numLock | LockMask);
    }
    return variants;
}

void vUngrab(Display* dpy, KeyCode keycode, unsigned int xmods, const std::vector<unsigned int>& variants)
{
    const Window root = DefaultRootWindow(dpy);
    for (unsigned int lock : variants)
        XUngrabKey(dpy, keycode, xmods | lock, root);
}

// Gives back every grab of a registration that has a key; an error (a grab
// already gone) is trapped, not reported.
void vRelease(Display* dpy, const Registration& r)
{
    CX11ErrorTrap trap(dpy);
    if (r.keycode != 0)
        vUngrab(dpy, r.keycode, r.xmods, r.locks);
    trap.nSync();
}

KeyCode KeycodeOf(Display* dpy, UINT vk)
{
    const KeySym sym = VkToKeySym(vk);
    return sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
}

// Grabs every lock variant; false (and nothing held) when one was refused.
BOOL bGrab(Display* dpy, Registration& r)
{
    r.locks = LockVariants(dpy);
    const Window root = DefaultRootWindow(dpy);
    CX11ErrorTrap trap(dpy);
    for (unsigned int lock : r.locks)
        XGrabKey(dpy, r.keycode, r.xmods | lock, root, True, GrabModeAsync, GrabModeAsync);
    if (trap.nSync() == 0)
        return true;
    // Another client holds some of them: give back the ones we got.
    // Ungrabbing a combination we never held does nothing.
    vUngrab(dpy, r.keycode, r.xmods, r.locks);
    trap.nSync();
    return false;
}

void vRegrabAll(Display* dpy)
{
    for (Registration& r : g_registrations) {
        vRelease(dpy, r);
        r.keycode = KeycodeOf(dpy, r.vk);
        // A layout without the key, or a grab now held elsewhere, leaves the
        // registration in place without a key until the next change.
        if (r.keycode != 0 && !bGrab(dpy, r))
            r.keycode = 0;
    }
}

BOOL bOnEvent(XEvent& ev)
{
    if (ev.type == MappingNotify) {
        XRefreshKeyboardMapping(&ev.xmapping);
        if (ev.xmapping.request != MappingPointer)
            vRegrabAll(ev.xmapping.display);
        return false;
    }
    if (ev.type != KeyPress)
        return false;
    const unsigned int state = ev.xkey.state & RELEVANT_MODS;
    for (const Registration& r : g_registrations) {
        if (r.keycode == 0 || r.keycode != ev.xkey.keycode || r.xmods != state)
            continue;
        if (r.target)
            r.target->PostMessage(WM_HOTKEY, WPARAM(r.id), LPARAM((r.vk & 0xFFFF) << 16 | (r.modifiers & 0xFFFF)));
        return true;
    }
    return false;
}

} // namespace

BOOL CX11Route::bRegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk)
{
    Display* dpy = CX11Display::UiDisplay();
    if (!dpy)
        return FALSE;
    // Windows refuses a combination already held, even by the same program.
    for (const Registration& r : g_registrations)
        if (r.modifiers == fsModifiers && r.vk == vk)
            return FALSE;
    Registration r{target, id, fsModifiers, vk, KeycodeOf(dpy, vk), XModifiers(fsModifiers), {}};
    if (r.keycode == 0 || !bGrab(dpy, r))
        return FALSE;
    if (!CX11Display::bHasEventHandler(g_handlerToken))
        g_handlerToken = CX11Display::nAddEventHandler(bOnEvent);
    g_registrations.push_back(r);
    return TRUE;
}

BOOL CX11Route::bUnregisterHotKey(CWnd* target, int id)
{
    auto it = std::find_if(g_registrations.begin(), g_registrations.end(),
                           [&](const Registration& r) { return r.target == target && r.id == id; });
    if (it == g_registrations.end())
        return FALSE;
    const Registration r = *it;
    g_registrations.erase(it);
    Display* dpy = CX11Display::UiDisplay();
    if (dpy)
        vRelease(dpy, r);
    return TRUE;
}
