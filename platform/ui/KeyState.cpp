// Modifier state from the routed key event or from the keyboard.
#include "platform/ui/KeyState.h"

#include "platform/base/KeyNames.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {

const QKeyEvent* g_pRouted = nullptr;

Qt::KeyboardModifiers Modifiers()
{
    if (g_pRouted) {
        Qt::KeyboardModifiers m = g_pRouted->modifiers();
        // A modifier's own press does not yet carry its flag.
        if (g_pRouted->type() == QEvent::KeyPress) {
            switch (g_pRouted->key()) {
            case Qt::Key_Control:
                m |= Qt::ControlModifier;
                break;
            case Qt::Key_Shift:
                m |= Qt::ShiftModifier;
                break;
            case Qt::Key_Alt:
                m |= Qt::AltModifier;
                break;
            default:
                break;
            }
        }
        return m;
    }
    return QGuiApplication::queryKeyboardModifiers();
}

BOOL bDown(int vk, Qt::KeyboardModifiers m)
{
    switch (vk) {
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
        return (m & Qt::ControlModifier) != 0;
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
        return (m & Qt::ShiftModifier) != 0;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
        return (m & Qt::AltModifier) != 0;
    case VK_LWIN:
        return (m & Qt::MetaModifier) != 0;
    default:
        return FALSE;
    }
}

} // namespace

SHORT GetKeyState(int nVirtKey)
{
    return bDown(nVirtKey, Modifiers()) ? static_cast<SHORT>(0xFF80) : 0;
}

BOOL GetKeyboardState(BYTE* p)
{
    if (!p)
        return FALSE;
    const Qt::KeyboardModifiers m = Modifiers();
    for (int vk = 0; vk < 256; ++vk)
        p[vk] = bDown(vk, m) ? 0x80 : 0;
    return TRUE;
}

void vSetRoutedKeyEvent(const QKeyEvent* e)
{
    g_pRouted = e;
}
