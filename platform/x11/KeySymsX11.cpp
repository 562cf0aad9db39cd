// Virtual-key <-> keysym table of the keys a user can type.
#include "platform/x11/KeySymsX11.h"

#include "platform/base/KeyNames.h"

#include <X11/X.h>
#include <X11/keysym.h>

static_assert(sizeof(KeySym) == sizeof(unsigned long));

namespace {

struct VkSym {
    UINT vk;
    KeySym sym;
};

constexpr VkSym TABLE[] = {
    {VK_CANCEL, XK_Break}, {VK_BACK, XK_BackSpace}, {VK_TAB, XK_Tab}, {VK_CLEAR, XK_KP_Begin},
    {VK_RETURN, XK_Return}, {VK_SHIFT, XK_Shift_L}, {VK_CONTROL, XK_Control_L}, {VK_MENU, XK_Alt_L},
    {VK_PAUSE, XK_Pause}, {VK_CAPITAL, XK_Caps_Lock}, {VK_ESCAPE, XK_Escape}, {VK_SPACE, XK_space},
    {VK_PRIOR, XK_Prior}, {VK_NEXT, XK_Next}, {VK_END, XK_End}, {VK_HOME, XK_Home},
    {VK_LEFT, XK_Left}, {VK_UP, XK_Up}, {VK_RIGHT, XK_Right}, {VK_DOWN, XK_Down},
    {VK_SNAPSHOT, XK_Print}, {VK_INSERT, XK_Insert}, {VK_DELETE, XK_Delete},
    {VK_LWIN, XK_Super_L}, {VK_RWIN, XK_Super_R}, {VK_APPS, XK_Menu},
    {VK_MULTIPLY, XK_KP_Multiply}, {VK_ADD, XK_KP_Add}, {VK_SUBTRACT, XK_KP_Subtract},
    {VK_DECIMAL, XK_KP_Decimal}, {VK_DIVIDE, XK_KP_Divide},
    {VK_NUMLOCK, XK_Num_Lock}, {VK_SCROLL, XK_Scroll_Lock},
    {VK_LSHIFT, XK_Shift_L}, {VK_RSHIFT, XK_Shift_R}, {VK_LCONTROL, XK_Control_L},
    {VK_RCONTROL, XK_Control_R}, {VK_LMENU, XK_Alt_L}, {VK_RMENU, XK_Alt_R},
    {VK_OEM_1, XK_semicolon}, {VK_OEM_PLUS, XK_equal}, {VK_OEM_COMMA, XK_comma},
    {VK_OEM_MINUS, XK_minus}, {VK_OEM_PERIOD, XK_period}, {VK_OEM_2, XK_slash},
    {VK_OEM_3, XK_grave}, {VK_OEM_4, XK_bracketleft}, {VK_OEM_5, XK_backslash},
    {VK_OEM_6, XK_bracketright}, {VK_OEM_7, XK_apostrophe}, {VK_OEM_102, XK_less},
};

} // namespace

unsigned long VkToKeySym(UINT vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9')
        return XK_0 + (vk - '0');
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return XK_KP_0 + (vk - VK_NUMPAD0);
    if (vk >= VK_F1 && vk <= VK_F24)
        return XK_F1 + (vk - VK_F1);
    for (const VkSym& e : TABLE)
        if (e.vk == vk)
            return e.sym;
    return NoSymbol;
}
