#include "platform/gnome/GnomeAccelerator.h"

#include "platform/base/VirtualKeys.h"

namespace {

struct VkName {
    UINT vk;
    const char* name;
};

// The shell takes the X keysym names.
constexpr VkName TABLE[] = {
    {VK_CANCEL, "Break"}, {VK_BACK, "BackSpace"}, {VK_TAB, "Tab"}, {VK_CLEAR, "KP_Begin"},
    {VK_RETURN, "Return"}, {VK_PAUSE, "Pause"}, {VK_CAPITAL, "Caps_Lock"}, {VK_ESCAPE, "Escape"},
    {VK_SPACE, "space"}, {VK_PRIOR, "Page_Up"}, {VK_NEXT, "Page_Down"}, {VK_END, "End"}, {VK_HOME, "Home"},
    {VK_LEFT, "Left"}, {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_SNAPSHOT, "Print"},
    {VK_INSERT, "Insert"}, {VK_DELETE, "Delete"}, {VK_APPS, "Menu"}, {VK_MULTIPLY, "KP_Multiply"},
    {VK_ADD, "KP_Add"}, {VK_SUBTRACT, "KP_Subtract"}, {VK_DECIMAL, "KP_Decimal"}, {VK_DIVIDE, "KP_Divide"},
    {VK_NUMLOCK, "Num_Lock"}, {VK_SCROLL, "Scroll_Lock"}, {VK_OEM_1, "semicolon"}, {VK_OEM_PLUS, "equal"},
    {VK_OEM_COMMA, "comma"}, {VK_OEM_MINUS, "minus"}, {VK_OEM_PERIOD, "period"}, {VK_OEM_2, "slash"},
    {VK_OEM_3, "grave"}, {VK_OEM_4, "bracketleft"}, {VK_OEM_5, "backslash"}, {VK_OEM_6, "bracketright"},
    {VK_OEM_7, "apostrophe"}, {VK_OEM_102, "less"},
};

QString KeyName(UINT vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return QString(QChar(char16_t(vk - 'A' + 'a')));
    if (vk >= '0' && vk <= '9')
        return QString(QChar(char16_t(vk)));
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return QStringLiteral("KP_%1").arg(vk - VK_NUMPAD0);
    if (vk >= VK_F1 && vk <= VK_F24)
        return QStringLiteral("F%1").arg(vk - VK_F1 + 1);
    for (const VkName& e : TABLE)
        if (e.vk == vk)
            return QString::fromLatin1(e.name);
    return {};
}

} // namespace

QString GnomeAccelerator(UINT fsModifiers, UINT vk)
{
    const QString key = KeyName(vk);
    if (key.isEmpty())
        return {};
    QString accel;
    if (fsModifiers & MOD_CONTROL)
        accel += QStringLiteral("<Control>");
    if (fsModifiers & MOD_ALT)
        accel += QStringLiteral("<Alt>");
    if (fsModifiers & MOD_SHIFT)
        accel += QStringLiteral("<Shift>");
    if (fsModifiers & MOD_WIN)
        accel += QStringLiteral("<Super>");
    return accel + key;
}
