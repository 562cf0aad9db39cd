// Key tables of the English (US) layout as Windows reports them: without
// the extended bit, the navigation keys' scan codes name their numpad twins.
#include "platform/base/KeyNames.h"

#include <array>

namespace {

struct VkScan {
    UINT vk;
    UINT scan;
};

// Letters and digits are computed; these are the rest.
constexpr VkScan VK_SCANS[] = {
    {VK_CANCEL, 0x46}, {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {VK_CLEAR, 0x4C}, {VK_RETURN, 0x1C},
    {VK_SHIFT, 0x2A}, {VK_CONTROL, 0x1D}, {VK_MENU, 0x38}, {VK_PAUSE, 0x45}, {VK_CAPITAL, 0x3A},
    {VK_ESCAPE, 0x01}, {VK_SPACE, 0x39}, {VK_PRIOR, 0x49}, {VK_NEXT, 0x51}, {VK_END, 0x4F},
    {VK_HOME, 0x47}, {VK_LEFT, 0x4B}, {VK_UP, 0x48}, {VK_RIGHT, 0x4D}, {VK_DOWN, 0x50},
    {VK_SNAPSHOT, 0x37}, {VK_INSERT, 0x52}, {VK_DELETE, 0x53}, {VK_LWIN, 0x5B}, {VK_RWIN, 0x5C},
    {VK_APPS, 0x5D},
    {0x60, 0x52}, {0x61, 0x4F}, {0x62, 0x50}, {0x63, 0x51}, {0x64, 0x4B},
    {0x65, 0x4C}, {0x66, 0x4D}, {0x67, 0x47}, {0x68, 0x48}, {0x69, 0x49},
    {VK_MULTIPLY, 0x37}, {VK_ADD, 0x4E}, {VK_SUBTRACT, 0x4A}, {VK_DECIMAL, 0x53}, {VK_DIVIDE, 0x35},
    {0x70, 0x3B}, {0x71, 0x3C}, {0x72, 0x3D}, {0x73, 0x3E}, {0x74, 0x3F}, {0x75, 0x40},
    {0x76, 0x41}, {0x77, 0x42}, {0x78, 0x43}, {0x79, 0x44}, {0x7A, 0x57}, {0x7B, 0x58},
    {0x7C, 0x64}, {0x7D, 0x65}, {0x7E, 0x66}, {0x7F, 0x67}, {0x80, 0x68}, {0x81, 0x69},
    {0x82, 0x6A}, {0x83, 0x6B}, {0x84, 0x6C}, {0x85, 0x6D}, {0x86, 0x6E}, {0x87, 0x76},
    {VK_NUMLOCK, 0x45}, {VK_SCROLL, 0x46},
    {VK_LSHIFT, 0x2A}, {VK_RSHIFT, 0x36}, {VK_LCONTROL, 0x1D}, {VK_RCONTROL, 0x1D},
    {VK_LMENU, 0x38}, {VK_RMENU, 0x38},
    {VK_OEM_1, 0x27}, {VK_OEM_PLUS, 0x0D}, {VK_OEM_COMMA, 0x33}, {VK_OEM_MINUS, 0x0C},
    {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35}, {VK_OEM_3, 0x29}, {VK_OEM_4, 0x1A},
    {VK_OEM_5, 0x2B}, {VK_OEM_6, 0x1B}, {VK_OEM_7, 0x28}, {VK_OEM_102, 0x56},
};

// Scan codes of the letter keys, A to Z.
constexpr std::array<UINT, 26> LETTER_SCANS = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

struct ScanName {
    UINT scan;
    const char* name;
};

constexpr ScanName NAMES[] = {
    {0x01, "Esc"}, {0x0C, "-"}, {0x0D, "="}, {0x0E, "Backspace"}, {0x0F, "Tab"},
    {0x1A, "["}, {0x1B, "]"}, {0x1C, "Enter"}, {0x1D, "Ctrl"}, {0x27, ";"}, {0x28, "'"},
    {0x29, "`"}, {0x2A, "Shift"}, {0x2B, "\\"}, {0x33, ","}, {0x34, "."}, {0x35, "/"},
    {0x36, "Right Shift"}, {0x37, "Num *"}, {0x38, "Alt"}, {0x39, "Space"}, {0x3A, "Caps Lock"},
    {0x3B, "F1"}, {0x3C, "F2"}, {0x3D, "F3"}, {0x3E, "F4"}, {0x3F, "F5"}, {0x40, "F6"},
    {0x41, "F7"}, {0x42, "F8"}, {0x43, "F9"}, {0x44, "F10"}, {0x45, "Pause"},
    {0x46, "Scroll Lock"}, {0x47, "Num 7"}, {0x48, "Num 8"}, {0x49, "Num 9"}, {0x4A, "Num -"},
    {0x4B, "Num 4"}, {0x4C, "Num 5"}, {0x4D, "Num 6"}, {0x4E, "Num +"}, {0x4F, "Num 1"},
    {0x50, "Num 2"}, {0x51, "Num 3"}, {0x52, "Num 0"}, {0x53, "Num Del"}, {0x54, "Sys Req"},
    {0x56, "\\"}, {0x57, "F11"}, {0x58, "F12"},
    {0x64, "F13"}, {0x65, "F14"}, {0x66, "F15"}, {0x67, "F16"}, {0x68, "F17"}, {0x69, "F18"},
    {0x6A, "F19"}, {0x6B, "F20"}, {0x6C, "F21"}, {0x6D, "F22"}, {0x6E, "F23"}, {0x76, "F24"},
};

constexpr ScanName EXTENDED_NAMES[] = {
    {0x1C, "Num Enter"}, {0x1D, "Right Ctrl"}, {0x35, "Num /"}, {0x37, "Prnt Scrn"},
    {0x38, "Right Alt"}, {0x45, "Num Lock"}, {0x46, "Break"}, {0x47, "Home"}, {0x48, "Up"},
    {0x49, "Page Up"}, {0x4B, "Left"}, {0x4D, "Right"}, {0x4F, "End"}, {0x50, "Down"},
    {0x51, "Page Down"}, {0x52, "Insert"}, {0x53, "Delete"}, {0x5B, "Left Windows"},
    {0x5C, "Right Windows"}, {0x5D, "Application"},
};

UINT ScanOfVk(UINT vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return LETTER_SCANS[vk - 'A'];
    if (vk == '0')
        return 0x0B;
    if (vk >= '1' && vk <= '9')
        return 0x02 + (vk - '1');
    for (const VkScan& e : VK_SCANS)
        if (e.vk == vk)
            return e.scan;
    return 0;
}

// The first virtual key listed for a scan code, as Windows answers it.
UINT VkOfScan(UINT scan)
{
    if (scan == 0)
        return 0;
    for (UINT vk = 'A'; vk <= 'Z'; ++vk)
        if (LETTER_SCANS[vk - 'A'] == scan)
            return vk;
    if (scan >= 0x02 && scan <= 0x0B)
        return scan == 0x0B ? '0' : '1' + (scan - 0x02);
    for (const VkScan& e : VK_SCANS)
        if (e.scan == scan)
            return e.vk;
    return 0;
}

const char* Lookup(const ScanName* table, std::size_t count, UINT scan)
{
    for (std::size_t i = 0; i < count; ++i)
        if (table[i].scan == scan)
            return table[i].name;
    return nullptr;
}

QString NameOfKeyData(LONG lParam)
{
    const UINT scan = (static_cast<DWORD>(lParam) >> 16) & 0xFF;
    const bool extended = (lParam & KF_EXTENDED_KEYDATA) != 0;
    // The extended twins differ in name; any other key is named the same
    // with or without the bit.
    const char* name = extended ? Lookup(EXTENDED_NAMES, std::size(EXTENDED_NAMES), scan) : nullptr;
    if (!name)
        name = Lookup(NAMES, std::size(NAMES), scan);
    if (name)
        return QString::fromLatin1(name);
    const UINT vk = VkOfScan(scan);
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return QString(QChar(char16_t(vk)));
    return QString();
}

} // namespace

UINT MapVirtualKeyW(UINT uCode, UINT uMapType)
{
    switch (uMapType) {
    case MAPVK_VK_TO_VSC: return ScanOfVk(uCode);
    case MAPVK_VSC_TO_VK: return VkOfScan(uCode);
    default: return 0;
    }
}

LONG ScanKeyData(UINT vk, BOOL bExtended)
{
    LONG data = static_cast<LONG>((MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) & 0xFF) << 16);
    if (bExtended)
        data |= KF_EXTENDED_KEYDATA;
    return data;
}

int GetKeyNameTextW(LONG lParam, char16_t* buffer, int cchSize)
{
    if (!buffer || cchSize <= 0)
        return 0;
    const QString name = NameOfKeyData(lParam);
    const int n = qMin(int(name.size()), cchSize - 1);
    for (int i = 0; i < n; ++i)
        buffer[i] = name[i].unicode();
    buffer[n] = 0;
    return n;
}
