// Qt keys to Win32 virtual keys.
#include "platform/ui/QtKeys.h"

#include "platform/base/KeyNames.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace {

struct KeyPair {
    int qt;
    UINT vk;
    BOOL extended;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK, FALSE}, {Qt::Key_Tab, VK_TAB, FALSE}, {Qt::Key_Backtab, VK_TAB, FALSE},
    {Qt::Key_Clear, VK_CLEAR, FALSE}, {Qt::Key_Return, VK_RETURN, FALSE}, {Qt::Key_Enter, VK_RETURN, TRUE},
    {Qt::Key_Shift, VK_SHIFT, FALSE}, {Qt::Key_Control, VK_CONTROL, FALSE}, {Qt::Key_Alt, VK_MENU, FALSE},
    {Qt::Key_Pause, VK_PAUSE, FALSE}, {Qt::Key_CapsLock, VK_CAPITAL, FALSE}, {Qt::Key_Escape, VK_ESCAPE, FALSE},
    {Qt::Key_Space, VK_SPACE, FALSE}, {Qt::Key_PageUp, VK_PRIOR, TRUE}, {Qt::Key_PageDown, VK_NEXT, TRUE},
    {Qt::Key_End, VK_END, TRUE}, {Qt::Key_Home, VK_HOME, TRUE}, {Qt::Key_Left, VK_LEFT, TRUE},
    {Qt::Key_Up, VK_UP, TRUE}, {Qt::Key_Right, VK_RIGHT, TRUE}, {Qt::Key_Down, VK_DOWN, TRUE},
    {Qt::Key_Print, VK_SNAPSHOT, TRUE}, {Qt::Key_Insert, VK_INSERT, TRUE}, {Qt::Key_Delete, VK_DELETE, TRUE},
    {Qt::Key_Meta, VK_LWIN, TRUE}, {Qt::Key_Super_L, VK_LWIN, TRUE}, {Qt::Key_Super_R, VK_RWIN, TRUE},
    {Qt::Key_Menu, VK_APPS, TRUE}, {Qt::Key_NumLock, VK_NUMLOCK, TRUE}, {Qt::Key_ScrollLock, VK_SCROLL, FALSE},
    {Qt::Key_Semicolon, VK_OEM_1, FALSE}, {Qt::Key_Colon, VK_OEM_1, FALSE}, {Qt::Key_Plus, VK_OEM_PLUS, FALSE},
    {Qt::Key_Equal, VK_OEM_PLUS, FALSE}, {Qt::Key_Comma, VK_OEM_COMMA, FALSE}, {Qt::Key_Less, VK_OEM_COMMA, FALSE},
    {Qt::Key_Minus, VK_OEM_MINUS, FALSE}, {Qt::Key_Underscore, VK_OEM_MINUS, FALSE},
    {Qt::Key_Period, VK_OEM_PERIOD, FALSE}, {Qt::Key_Greater, VK_OEM_PERIOD, FALSE}, {Qt::Key_Slash, VK_OEM_2, FALSE},
    {Qt::Key_Question, VK_OEM_2, FALSE}, {Qt::Key_QuoteLeft, VK_OEM_3, FALSE}, {Qt::Key_AsciiTilde, VK_OEM_3, FALSE},
    {Qt::Key_BracketLeft, VK_OEM_4, FALSE}, {Qt::Key_BraceLeft, VK_OEM_4, FALSE},
    {Qt::Key_Backslash, VK_OEM_5, FALSE}, {Qt::Key_Bar, VK_OEM_5, FALSE}, {Qt::Key_BracketRight, VK_OEM_6, FALSE},
    {Qt::Key_BraceRight, VK_OEM_6, FALSE}, {Qt::Key_Apostrophe, VK_OEM_7, FALSE},
    {Qt::Key_QuoteDbl, VK_OEM_7, FALSE},
};

// The keypad's keys other than the digits, with NumLock on; the first key
// for a virtual key is the one it maps back to.
constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_Asterisk, VK_MULTIPLY, FALSE}, {Qt::Key_Plus, VK_ADD, FALSE}, {Qt::Key_Minus, VK_SUBTRACT, FALSE},
    {Qt::Key_Period, VK_DECIMAL, FALSE}, {Qt::Key_Comma, VK_DECIMAL, FALSE}, {Qt::Key_Slash, VK_DIVIDE, FALSE},
};

// Keypad keys with NumLock on.
UINT KeypadVk(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return VK_NUMPAD0 + static_cast<UINT>(key - Qt::Key_0);
    for (const KeyPair& k : kKeypadKeys)
        if (k.qt == key)
            return k.vk;
    return 0;
}

const KeyPair* FindKey(int key)
{
    for (const KeyPair& k : kKeys)
        if (k.qt == key)
            return &k;
    return nullptr;
}

// The virtual key of a toolkit key (0 when it has none).
UINT VirtualKeyOfQtKey(int key, Qt::KeyboardModifiers mods)
{
    if (mods & Qt::KeypadModifier) {
        if (UINT vk = KeypadVk(key))
            return vk;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<UINT>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    // Control turns Pause into Break, which Windows calls VK_CANCEL.
    if (key == Qt::Key_Pause && (mods & Qt::ControlModifier))
        return VK_CANCEL;
    const KeyPair* k = FindKey(key);
    return k ? k->vk : 0;
}

// The key data of a key message: repeat count 1, scan code in bits 16-23,
// bit 24 for extended keys, bits 30 and 31 on release.
LPARAM KeyDataOfVirtualKey(UINT vk, BOOL bExtended, BOOL bRelease)
{
    DWORD data = 1 | static_cast<DWORD>(ScanKeyData(vk, bExtended));
    if (bRelease)
        data |= 0xC0000000u;
    return static_cast<LPARAM>(data);
}

// The toolkit key of a virtual key (keypad keys with Qt::KeypadModifier);
// 0 when it has none.
int QtKeyOfVirtualKey(UINT vk)
{
    constexpr int kKeypad = static_cast<int>(Qt::KeypadModifier);
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return static_cast<int>(vk);
    if (vk >= VK_F1 && vk < VK_F1 + 24)
        return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return (Qt::Key_0 + static_cast<int>(vk - VK_NUMPAD0)) | kKeypad;
    for (const KeyPair& k : kKeypadKeys)
        if (k.vk == vk)
            return k.qt | kKeypad;
    // The table's first key for a virtual key is its unshifted one.
    for (const KeyPair& k : kKeys)
        if (k.vk == vk)
            return k.qt;
    return 0;
}

} // namespace

BOOL bKeyMessageOf(const QKeyEvent* e, UINT* pMessage, WPARAM* pVk, LPARAM* pKeyData)
{
    // The toolkit has no key of its own for the X keysym Break.
    constexpr quint32 kBreakKeySym = 0xff6b;
    const UINT vk = e->nativeVirtualKey() == kBreakKeySym ? VK_CANCEL : VirtualKeyOfQtKey(e->key(), e->modifiers());
    if (!vk)
        return FALSE;
    const KeyPair* k = (e->modifiers() & Qt::KeypadModifier) && e->key() != Qt::Key_Enter ? nullptr : FindKey(e->key());
    const BOOL bRelease = e->type() == QEvent::KeyRelease;
    const BOOL bAlt = (e->modifiers() & Qt::AltModifier) != 0;
    *pMessage = bAlt ? (bRelease ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (bRelease ? WM_KEYUP : WM_KEYDOWN);
    *pVk = vk;
    *pKeyData = KeyDataOfVirtualKey(vk, k && k->extended, bRelease);
    return TRUE;
}

QString KeySequenceText(UINT fsModifiers, UINT vk)
{
    const int key = QtKeyOfVirtualKey(vk);
    if (!key)
        return QString();
    Qt::KeyboardModifiers mods;
    if (fsModifiers & MOD_CONTROL)
        mods |= Qt::ControlModifier;
    if (fsModifiers & MOD_ALT)
        mods |= Qt::AltModifier;
    if (fsModifiers & MOD_SHIFT)
        mods |= Qt::ShiftModifier;
    if (fsModifiers & MOD_WIN)
        mods |= Qt::MetaModifier;
    return QKeySequence(QKeyCombination::fromCombined(key | static_cast<int>(mods))).toString(QKeySequence::PortableText);
}
