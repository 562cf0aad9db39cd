// Hotkeys without a display: registrations are recorded, presses are fed in.
#include "platform/HotKeyRegistrar.h"
#include "platform/null/NullHotKeys.h"

#include "platform/ui/Wnd.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

std::vector<CNullHotKeys::Grab>& Grabs()
{
    static std::vector<CNullHotKeys::Grab> grabs;
    return grabs;
}

std::set<std::pair<UINT, UINT>>& Taken()
{
    static std::set<std::pair<UINT, UINT>> taken;
    return taken;
}

} // namespace

BOOL RegisterHotKey(CWnd* target, int id, UINT fsModifiers, UINT vk)
{
    if (Taken().count({fsModifiers, vk}))
        return FALSE;
    for (const auto& g : Grabs())
        if (g.modifiers == fsModifiers && g.vk == vk)
            return FALSE;
    Grabs().push_back({target, id, fsModifiers, vk});
    return TRUE;
}

BOOL UnregisterHotKey(CWnd* target, int id)
{
    auto& grabs = Grabs();
    auto it = std::find_if(grabs.begin(), grabs.end(), [&](const auto& g) { return g.target == target && g.id == id; });
    if (it == grabs.end())
        return FALSE;
    grabs.erase(it);
    return TRUE;
}

std::vector<CNullHotKeys::Grab> CNullHotKeys::Held()
{
    return Grabs();
}

void CNullHotKeys::vSetTaken(UINT modifiers, UINT vk, bool taken)
{
    if (taken)
        Taken().insert({modifiers, vk});
    else
        Taken().erase({modifiers, vk});
}

BOOL CNullHotKeys::bPress(UINT modifiers, UINT vk)
{
    for (const auto& g : Grabs()) {
        if (g.modifiers != modifiers || g.vk != vk)
            continue;
        if (g.target)
            g.target->PostMessage(WM_HOTKEY, WPARAM(g.id), LPARAM((vk & 0xFFFF) << 16 | (modifiers & 0xFFFF)));
        return TRUE;
    }
    return FALSE;
}

void CNullHotKeys::vReset()
{
    Grabs().clear();
    Taken().clear();
}
