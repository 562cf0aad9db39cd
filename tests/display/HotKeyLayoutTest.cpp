// The hotkey follows a keyboard layout change: it names a key, not a keycode.
#include "PointerOnFixture.h"

#include <X11/keysym.h>

namespace {

class HotKeyLayoutTest : public CPointerOnFixture {
protected:
    // Presses Ctrl+Y until a press reaches the program instead of the
    // focused background: each press that the background records is the
    // event that wakes the next one, so there is no timed retry.
    bool bCtrlYToggles(bool bWantOverlay)
    {
        int nSeen = -1;
        return bWaitFor([&] {
            if (x.bIsViewable(overlay) == bWantOverlay)
                return true;
            const int nNow = x.nKeyPresses(background, XK_y);
            if (nNow != nSeen) {
                nSeen = nNow;
                x.bKey(XK_y, ControlMask);
            }
            return false;
        });
    }
};

TEST_F(HotKeyLayoutTest, CtrlYStillTogglesAfterTheLayoutChanges)
{
    PointerStart start;
    start.hotKey.bCtrl = 1;
    start.hotKey.nVirtKey = 'Y';
    vStart(CTestPicture(40, 40, kRed), start);
    x.vMove(300, 300);
    ASSERT_TRUE(x.bKey(XK_y, ControlMask));
    ASSERT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None; })) << "Ctrl+Y under us showed nothing";

    // Under "de" the key that types y is the one that typed z.
    const KeyCode usY = XKeysymToKeycode(x.Dpy(), XK_y);
    CChildProcess setxkbmap;
    ASSERT_TRUE(setxkbmap.bStart({"setxkbmap", "de"}, {"DISPLAY=" + xvfb.strDisplay()},
                                 (dir.LogDir() / "setxkbmap.log").string()));
    ASSERT_EQ(nWaitExit(setxkbmap), 0) << setxkbmap.strLogText();
    ASSERT_TRUE(bWaitFor([&] { return XKeysymToKeycode(x.Dpy(), XK_y) != usY; })) << "the layout did not change";

    EXPECT_TRUE(bCtrlYToggles(false)) << "Ctrl+Y under de does not switch the pointer off";
    vExitInOrder();
}

} // namespace
