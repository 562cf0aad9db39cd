// Hotkey texts, validation, registration through the test backend.
#include "settings/HotKey.h"

#include "platform/base/KeyNames.h"
#include "platform/ui/Wnd.h"
#include "platform/null/NullHotKeys.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

CHotKey Key(BOOL ctrl, BOOL shift, BOOL alt, int vk, BOOL win = 0, BOOL extended = 0)
{
    CHotKey k;
    k.vSet(ctrl, shift, alt, 1, vk, win, extended);
    return k;
}

class CRecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_HOTKEY)
            hotkeys.push_back({wParam, lParam});
        return 0;
    }
    std::vector<std::pair<WPARAM, LPARAM>> hotkeys;
};

class HotKeyRegisterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CNullHotKeys::vReset();
        AfxSetMainWnd(&wnd);
    }
    void TearDown() override
    {
        AfxSetMainWnd(nullptr);
        CNullHotKeys::vReset();
    }
    CRecordingWnd wnd;
};

} // namespace

TEST(HotKeyTest, Texts)
{
    EXPECT_EQ(Key(0, 0, 0, VK_F8).GetHotKeyText(), "F8");
    EXPECT_EQ(Key(1, 1, 0, VK_F8).GetHotKeyText(), "Ctrl + Shift + F8");
    EXPECT_EQ(Key(0, 0, 1, 'P', 1).GetHotKeyText(), "Windows + Alt + P");
    EXPECT_EQ(Key(1, 1, 1, VK_HOME, 1, 1).GetHotKeyText(), "Windows + Ctrl + Shift + Alt + Home");
    EXPECT_EQ(Key(0, 0, 0, VK_HOME).GetHotKeyText(), "Num 7");
    EXPECT_EQ(Key(1, 1, 0, 0).GetHotKeyText(), "Ctrl + Shift + ");

    CHotKey conflict = Key(1, 0, 0, VK_F8);
    conflict.bRegistered = 0;
    EXPECT_EQ(conflict.GetHotKeyText(), "Ctrl + F8 (Conflict)");
}

TEST(HotKeyTest, KeysAloneThatCannotBeHotkeys)
{
    for (int vk : {VK_DELETE, VK_BACK, VK_SPACE, VK_ESCAPE}) {
        CHotKey alone = Key(0, 0, 0, vk);
        alone.vValidate();
        EXPECT_EQ(alone.bValid, 0) << vk;
        EXPECT_EQ(alone.GetHotKeyText(), "");

        CHotKey withAlt = Key(0, 0, 1, vk);
        withAlt.bValid = 0;
        withAlt.vValidate();
        EXPECT_EQ(withAlt.bValid, 1) << vk;
    }
    for (int vk : {int(VK_RETURN), int(VK_TAB), int('A')}) {
        CHotKey alone = Key(0, 0, 0, vk);
        alone.vValidate();
        EXPECT_EQ(alone.bValid, 1) << vk;
    }
}

TEST(HotKeyTest, AssignmentLeavesRegistrationAlone)
{
    CHotKey a = Key(1, 0, 1, 'Z', 1, 1);
    a.bRegistered = 0;
    CHotKey b;
    b = a;
    EXPECT_EQ(b.GetHotKeyText(), "Windows + Ctrl + Alt + Z");
    EXPECT_EQ(b.bRegistered, 1);
    b = b;
    EXPECT_EQ(b.nVirtKey, 'Z');
}

TEST_F(HotKeyRegisterTest, RegistersUnderTheMainWindowAndPostsPresses)
{
    CHotKey k = Key(1, 1, 0, VK_F8);
    EXPECT_TRUE(k.bRegister(9));
    ASSERT_EQ(CNullHotKeys::Held().size(), 1u);
    EXPECT_EQ(CNullHotKeys::Held()[0].target, &wnd);
    EXPECT_EQ(CNullHotKeys::Held()[0].modifiers, MOD_CONTROL | MOD_SHIFT);

    EXPECT_TRUE(CNullHotKeys::bPress(MOD_CONTROL | MOD_SHIFT, VK_F8));
    EXPECT_FALSE(CNullHotKeys::bPress(MOD_CONTROL, VK_F8));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(wnd.hotkeys.size(), 1u);
    EXPECT_EQ(wnd.hotkeys[0].first, 9u);
    EXPECT_EQ(wnd.hotkeys[0].second, LPARAM(VK_F8 << 16 | (MOD_CONTROL | MOD_SHIFT)));

    EXPECT_TRUE(k.bUnregister(9));
    EXPECT_TRUE(CNullHotKeys::Held().empty());
    EXPECT_FALSE(k.bUnregister(9));
}

TEST_F(HotKeyRegisterTest, RefusedRegistrationIsAConflict)
{
    CNullHotKeys::vSetTaken(MOD_ALT, 'P', true);
    CHotKey k = Key(0, 0, 1, 'P');
    EXPECT_FALSE(k.bRegister(9));
    EXPECT_EQ(k.bRegistered, 0);
    EXPECT_EQ(k.GetHotKeyText(), "Alt + P (Conflict)");

    CNullHotKeys::vSetTaken(MOD_ALT, 'P', false);
    EXPECT_TRUE(k.bRegister(9));
    EXPECT_EQ(k.bRegistered, 1);
}

TEST_F(HotKeyRegisterTest, UnusableCombinationIsNeverRegistered)
{
    CHotKey k = Key(0, 0, 0, VK_SPACE);
    k.vValidate();
    k.bRegistered = 0;
    EXPECT_TRUE(k.bRegister(9));
    EXPECT_EQ(k.bRegistered, 0);
    EXPECT_TRUE(CNullHotKeys::Held().empty());
}
