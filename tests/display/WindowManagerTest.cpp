// Under a window manager (openbox): a second start restores the running
// instance's window from each state it can be in and makes it the active one.
#include "DisplayFixture.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

class WindowManagerTest : public CDisplayFixture {
protected:
    DisplaySetup Setup() const override { return {.bCompositor = false, .bWindowManager = true}; }

    Window ActiveWindow()
    {
        const std::vector<long> active = x.Property32(x.Root(), "_NET_ACTIVE_WINDOW");
        return active.empty() ? None : static_cast<Window>(active[0]);
    }

    // Viewable, in the normal state and the window manager's active window.
    bool bShownAndActive(Window w)
    {
        const std::vector<long> state = x.Property32(w, "WM_STATE");
        return x.bIsViewable(w) && !state.empty() && state[0] == NormalState
            && !x.bPropertyHasAtom(w, "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN") && ActiveWindow() == w;
    }

    // Another application's window takes the focus, as a pager gives it.
    void vFocusOther()
    {
        XClientMessageEvent activate{};
        activate.type = ClientMessage;
        activate.window = otherWindow;
        activate.message_type = XInternAtom(x.Dpy(), "_NET_ACTIVE_WINDOW", False);
        activate.format = 32;
        activate.data.l[0] = 2;  // on the user's behalf
        vSendToWindowManager(activate);
        ASSERT_TRUE(bWaitFor([&] { return ActiveWindow() == otherWindow; })) << "openbox did not focus the other window";
    }

    void vSendToWindowManager(XClientMessageEvent& message)
    {
        XSendEvent(x.Dpy(), x.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   reinterpret_cast<XEvent*>(&message));
        XFlush(x.Dpy());
    }

    void vOpenAndExpectShown(Window w, const char* szFrom)
    {
        ASSERT_EQ(nRunToEnd({}), 0) << "the second start must hand over and end";
        EXPECT_TRUE(bWaitFor([&] { return bShownAndActive(w); }))
            << "after " << szFrom << ": viewable " << x.bIsViewable(w) << ", WM_STATE "
            << (x.Property32(w, "WM_STATE").empty() ? -1 : x.Property32(w, "WM_STATE")[0]) << ", hidden "
            << x.bPropertyHasAtom(w, "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN") << ", active " << ActiveWindow();
    }

    const TestRect other{700, 200, 300, 200};
    Window otherWindow = None;
};

TEST_F(WindowManagerTest, SecondStartRestoresFromHiddenStartMinimisedAndHidden)
{
    CChildProcess& first = Launch({"/m"});
    Window w = None;
    ASSERT_TRUE(bWaitFor([&] {
        w = x.FindWindowByTitle(szMainTitle, first.Pid());
        return (w != None && !x.bIsViewable(w)) || first.bExited();
    }));
    ASSERT_FALSE(first.bExited());
    XSelectInput(x.Dpy(), w, PropertyChangeMask | StructureNotifyMask);
    otherWindow = x.CreateTestWindow(other, 0x202020, "xterm");

    vFocusOther();
    vOpenAndExpectShown(w, "the hidden start (/m)");

    // Minimised, as a task bar asks for it.
    XClientMessageEvent iconify{};
    iconify.type = ClientMessage;
    iconify.window = w;
    iconify.message_type = XInternAtom(x.Dpy(), "WM_CHANGE_STATE", False);
    iconify.format = 32;
    iconify.data.l[0] = IconicState;
    vSendToWindowManager(iconify);
    ASSERT_TRUE(bWaitFor([&] { return !x.bIsViewable(w); })) << "the window did not minimise";
    vFocusOther();
    vOpenAndExpectShown(w, "minimising");

    // Escape hides it (minimised first, then hidden).
    ASSERT_TRUE(x.bKey(XK_Escape));
    ASSERT_TRUE(bWaitFor([&] { return !x.bIsViewable(w); })) << "Escape did not hide the window";
    vFocusOther();
    vOpenAndExpectShown(w, "hiding");

    EXPECT_EQ(nRunToEnd({"/u"}), 0);
    EXPECT_EQ(nWaitExit(first), 0);
}

} // namespace
