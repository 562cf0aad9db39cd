// Scan codes and English key names, extended twins included.
#include "platform/base/KeyNames.h"

#include <gtest/gtest.h>

namespace {

QString NameOfVk(UINT vk, bool extended = false)
{
    char16_t buffer[128];
    const int n = GetKeyNameTextW(ScanKeyData(vk, extended), buffer, 128);
    return QString::fromUtf16(buffer, n);
}

} // namespace

TEST(KeyNamesTest, ScanCodes)
{
    EXPECT_EQ(MapVirtualKeyW(VK_F8, MAPVK_VK_TO_VSC), 0x42u);
    EXPECT_EQ(MapVirtualKeyW('A', MAPVK_VK_TO_VSC), 0x1Eu);
    EXPECT_EQ(MapVirtualKeyW('0', MAPVK_VK_TO_VSC), 0x0Bu);
    EXPECT_EQ(MapVirtualKeyW(VK_HOME, MAPVK_VK_TO_VSC), MapVirtualKeyW(VK_NUMPAD0 + 7, MAPVK_VK_TO_VSC));
    EXPECT_EQ(MapVirtualKeyW(0, MAPVK_VK_TO_VSC), 0u);
    EXPECT_EQ(MapVirtualKeyW(0x1E, MAPVK_VSC_TO_VK), UINT('A'));
}

TEST(KeyNamesTest, Names)
{
    const std::pair<UINT, const char*> plain[] = {
        {'A', "A"}, {'Z', "Z"}, {'0', "0"}, {'9', "9"}, {VK_F1, "F1"}, {VK_F8, "F8"}, {0x7A, "F11"},
        {0x7B, "F12"}, {0x7C, "F13"}, {VK_F24, "F24"}, {VK_ESCAPE, "Esc"}, {VK_BACK, "Backspace"},
        {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"}, {VK_CAPITAL, "Caps Lock"},
        {VK_SCROLL, "Scroll Lock"}, {VK_PAUSE, "Pause"}, {VK_NUMPAD0, "Num 0"}, {VK_NUMPAD0 + 9, "Num 9"},
        {VK_ADD, "Num +"}, {VK_SUBTRACT, "Num -"}, {VK_MULTIPLY, "Num *"}, {VK_DECIMAL, "Num Del"},
        {VK_CONTROL, "Ctrl"}, {VK_SHIFT, "Shift"}, {VK_RSHIFT, "Right Shift"}, {VK_MENU, "Alt"},
        {VK_OEM_1, ";"}, {VK_OEM_PLUS, "="}, {VK_OEM_COMMA, ","}, {VK_OEM_MINUS, "-"},
        {VK_OEM_PERIOD, "."}, {VK_OEM_2, "/"}, {VK_OEM_3, "`"}, {VK_OEM_4, "["}, {VK_OEM_5, "\\"},
        {VK_OEM_6, "]"}, {VK_OEM_7, "'"},
    };
    for (auto [vk, name] : plain)
        EXPECT_EQ(NameOfVk(vk), name) << vk;

    const std::pair<UINT, const char*> extended[] = {
        {VK_RCONTROL, "Right Ctrl"}, {VK_RMENU, "Right Alt"}, {VK_INSERT, "Insert"}, {VK_DELETE, "Delete"},
        {VK_HOME, "Home"}, {VK_END, "End"}, {VK_PRIOR, "Page Up"}, {VK_NEXT, "Page Down"},
        {VK_LEFT, "Left"}, {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},
        {VK_NUMLOCK, "Num Lock"}, {VK_CANCEL, "Break"}, {VK_SNAPSHOT, "Prnt Scrn"},
        {VK_DIVIDE, "Num /"}, {VK_RETURN, "Num Enter"},
    };
    for (auto [vk, name] : extended)
        EXPECT_EQ(NameOfVk(vk, true), name) << vk;
}

TEST(KeyNamesTest, NavigationKeysWithoutExtendedBitNameTheirNumpadTwins)
{
    EXPECT_EQ(NameOfVk(VK_HOME), "Num 7");
    EXPECT_EQ(NameOfVk(VK_UP), "Num 8");
    EXPECT_EQ(NameOfVk(VK_PRIOR), "Num 9");
    EXPECT_EQ(NameOfVk(VK_LEFT), "Num 4");
    EXPECT_EQ(NameOfVk(VK_INSERT), "Num 0");
    EXPECT_EQ(NameOfVk(VK_DELETE), "Num Del");
    EXPECT_EQ(NameOfVk(VK_RCONTROL), "Ctrl");
    // Keys without a twin keep their name with the bit set.
    EXPECT_EQ(NameOfVk('Q', true), "Q");
    EXPECT_EQ(NameOfVk(VK_F8, true), "F8");
}

TEST(KeyNamesTest, NoKeyNoName)
{
    EXPECT_EQ(NameOfVk(0), "");
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetKeyNameTextW(0, buffer, 4), 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST(KeyNamesTest, NameIsCutToTheBuffer)
{
    char16_t buffer[4];
    const LONG data = LONG(MapVirtualKeyW(VK_CAPITAL, MAPVK_VK_TO_VSC) << 16);
    EXPECT_EQ(GetKeyNameTextW(data, buffer, 4), 3);
    EXPECT_EQ(QString::fromUtf16(buffer), "Cap");
}
