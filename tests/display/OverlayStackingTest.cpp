// The pointer overlay stays above ordinary windows: a window mapped, raised
// or circulated over it sends it back on top, while a hidden overlay is left
// alone and comes back on top when shown again. The test holds the server
// grab while it covers the overlay, so that the covering is seen in the
// stacking before the program can answer it.
#include "PointerOnFixture.h"

#include <X11/keysym.h>

#include <algorithm>
#include <functional>
#include <sstream>

namespace {

constexpr uint32_t kCover = 0x00FF00;  // green, the windows laid over the overlay

// The pointer at (400, 300) with a centred 32x32 picture.
constexpr int kCursorX = 400, kCursorY = 300;
constexpr TestRect kOverlayRect{384, 284, 32, 32};
// Covers the overlay and more; the upper-left of the picture, clear of the cursor.
constexpr TestRect kCoverRect{300, 200, 200, 200};
constexpr TestRect kProbe{386, 286, 8, 8};

} // namespace

class OverlayStackingTest : public CPointerOnFixture {
protected:
    // An opaque red picture, the program started hidden, then the pointer on
    // and on top.
    void vStartWithPointerOn()
    {
        vStart(CTestPicture(32, 32, kRed));
        if (HasFatalFailure())
            return;
        vSwitchOnAt(kCursorX, kCursorY);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(bOverlayAt(kOverlayRect));
        ASSERT_TRUE(bWaitFor([&] { return TopViewable() == overlay; })) << "shown below others: " << strStacking();
    }

    // A plain top-level over the overlay's area, or a pop-up menu (override-
    // redirect), created but not yet mapped. It is mapped raised: the overlay
    // may have been raised over it since it was made (the program's stacking
    // watch answers on its own time).
    Window CreateCover(const std::string& strName, bool bMenu = false)
    {
        XSetWindowAttributes a{};
        a.background_pixel = kCover;
        a.event_mask = StructureNotifyMask;
        a.override_redirect = bMenu ? True : False;
        Window w = XCreateWindow(x.Dpy(), x.Root(), kCoverRect.x, kCoverRect.y, kCoverRect.width,
                                 kCoverRect.height, 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWBackPixel | CWEventMask | CWOverrideRedirect, &a);
        XStoreName(x.Dpy(), w, strName.c_str());
        XSync(x.Dpy(), False);
        return w;
    }

    // Runs the request with the server grabbed, so that the program cannot
    // restack anything before the test has looked; whether the overlay was
    // then no longer on top.
    bool bCoverWhileGrabbed(const std::function<void()>& request)
    {
        XGrabServer(x.Dpy());
        request();
        XSync(x.Dpy(), False);
        const Window top = TopViewable();
        XUngrabServer(x.Dpy());
        XFlush(x.Dpy());
        return top != None && top != overlay;
    }

    // root's children, bottom to top.
    std::vector<Window> Stacking()
    {
        Window rootRet, parent, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(x.Dpy(), x.Root(), &rootRet, &parent, &children, &n))
            return {};
        std::vector<Window> list(children, children + n);
        if (children)
            XFree(children);
        return list;
    }

    Window TopViewable()
    {
        const std::vector<Window> list = Stacking();
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if (x.bIsViewable(*it))
                return *it;
        return None;
    }

    bool bAbove(Window upper, Window lower)
    {
        const std::vector<Window> list = Stacking();
        auto iu = std::find(list.begin(), list.end(), upper);
        auto il = std::find(list.begin(), list.end(), lower);
        return iu != list.end() && il != list.end() && iu > il;
    }

    // The viewable children, bottom to top, for failure messages.
    std::string strStacking()
    {
        std::ostringstream out;
        out << std::hex;
        for (Window w : Stacking())
            if (x.bIsViewable(w))
                out << " 0x" << w << (w == overlay ? "(overlay)" : "");
        return out.str();
    }

    bool bOverlayBackOnTop()
    {
        return bWaitFor([&] { return TopViewable() == overlay; });
    }

    bool bPictureOnScreen()
    {
        return bWaitFor([&] {
            for (uint32_t p : x.Pixels(kProbe))
                if (p != 0xFF0000)
                    return false;
            return true;
        });
    }

    // Mapping, raising and circulating a window over the shown overlay.
    void vCoveringWindowsGoBelow()
    {
        vStartWithPointerOn();
        if (HasFatalFailure())
            return;

        const Window first = CreateCover("cover 1");
        ASSERT_TRUE(bCoverWhileGrabbed([&] { XMapRaised(x.Dpy(), first); })) << strStacking();
        ASSERT_TRUE(x.bIsViewable(first));
        EXPECT_TRUE(bOverlayBackOnTop()) << "a mapped window stays over the overlay:" << strStacking();
        EXPECT_TRUE(bPictureOnScreen()) << std::hex << x.Pixel(kProbe.x, kProbe.y);

        ASSERT_TRUE(bAbove(overlay, first));
        ASSERT_TRUE(bCoverWhileGrabbed([&] { XRaiseWindow(x.Dpy(), first); })) << strStacking();
        EXPECT_TRUE(bOverlayBackOnTop()) << "a raised window stays over the overlay:" << strStacking();

        // A window raised from below another cover, not just from right
        // under the overlay.
        const Window second = CreateCover("cover 2");
        ASSERT_TRUE(bCoverWhileGrabbed([&] { XMapRaised(x.Dpy(), second); })) << strStacking();
        EXPECT_TRUE(bOverlayBackOnTop()) << "the second mapped window stays over the overlay:" << strStacking();
        ASSERT_TRUE(bAbove(second, first));
        ASSERT_TRUE(bCoverWhileGrabbed([&] { XRaiseWindow(x.Dpy(), first); })) << strStacking();
        EXPECT_TRUE(bOverlayBackOnTop()) << "a window raised past another stays over the overlay:" << strStacking();

        const Window menu = CreateCover("menu", true);
        ASSERT_TRUE(bCoverWhileGrabbed([&] { XMapRaised(x.Dpy(), menu); })) << strStacking();
        EXPECT_TRUE(bOverlayBackOnTop()) << "a menu stays over the overlay:" << strStacking();

        // The lowest occluded child (the background) circulates to the top.
        ASSERT_TRUE(bCoverWhileGrabbed([&] { XCirculateSubwindowsUp(x.Dpy(), x.Root()); })) << strStacking();
        EXPECT_TRUE(bOverlayBackOnTop()) << "a circulated window stays over the overlay:" << strStacking();
        EXPECT_TRUE(bPictureOnScreen()) << std::hex << x.Pixel(kProbe.x, kProbe.y);

        vExitInOrder();
    }
};

TEST_F(OverlayStackingTest, MappedRaisedAndCirculatedWindowsGoBelowThePointer)
{
    vCoveringWindowsGoBelow();
}

TEST_F(OverlayStackingTest, HiddenPointerIsNotMappedAndReturnsOnTop)
{
    vStartWithPointerOn();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(x.bKey(XK_F8));
    ASSERT_TRUE(bWaitFor([&] { return !x.bIsViewable(overlay); })) << "F8 again must hide the picture";

    const Window cover = CreateCover("cover");
    ASSERT_TRUE(bCoverWhileGrabbed([&] { XMapWindow(x.Dpy(), cover); })) << strStacking();
    // Nothing to wait for but the absence of a reaction: a bounded watch.
    EXPECT_FALSE(x.bWaitUntil([&] { return x.bIsViewable(overlay) || x.FindOverlay() != None; },
                              CDeadline::Millis(700)))
        << "a window mapped while the pointer is off showed the overlay";
    EXPECT_TRUE(bWaitFor([&] {
        for (uint32_t p : x.Pixels(kProbe))
            if (p != kCover)
                return false;
        return true;
    })) << "the cover must be seen where the picture was: " << std::hex << x.Pixel(kProbe.x, kProbe.y);

    // Shown again, it goes above what was mapped meanwhile.
    ASSERT_TRUE(x.bKey(XK_F8));
    ASSERT_TRUE(bWaitFor([&] { return (overlay = x.FindOverlay()) != None; })) << "F8 showed no overlay";
    EXPECT_TRUE(bOverlayBackOnTop()) << "shown below the cover:" << strStacking();
    EXPECT_TRUE(bPictureOnScreen()) << std::hex << x.Pixel(kProbe.x, kProbe.y);

    vExitInOrder();
}

class OverlayStackingNoCompositorTest : public OverlayStackingTest {
protected:
    DisplaySetup Setup() const override { return {.bCompositor = false, .bShippedPointers = false}; }
};

TEST_F(OverlayStackingNoCompositorTest, MappedRaisedAndCirculatedWindowsGoBelowThePointer)
{
    vCoveringWindowsGoBelow();
}

TEST_F(OverlayStackingNoCompositorTest, AWindowThatRaisesItselfIsGivenWayToWithoutALoop)
{
    vStartWithPointerOn();
    if (HasFatalFailure())
        return;
    XSelectInput(x.Dpy(), overlay, StructureNotifyMask); // its restacks wake the waits
    const Window fighter = CreateCover("fighter");
    XMapWindow(x.Dpy(), fighter);
    XSync(x.Dpy(), False);
    // The fighter raises itself whenever the overlay is above it.
    int nOverlayRaises = 0;
    x.bWaitUntil([&] {
        if (bAbove(overlay, fighter)) {
            ++nOverlayRaises;
            XRaiseWindow(x.Dpy(), fighter);
            XSync(x.Dpy(), False);
        }
        return false;
    }, CDeadline::Millis(2000));
    EXPECT_GE(nOverlayRaises, 1) << "the overlay never went above the fighter";
    EXPECT_LE(nOverlayRaises, 10) << "a raise loop";
    EXPECT_FALSE(x.bWaitUntil([&] { return bAbove(overlay, fighter); }, CDeadline::Millis(500)))
        << "the overlay still raises itself over the fighter";

    // Once the fighter is gone, a window mapped over the overlay goes below it again.
    XUnmapWindow(x.Dpy(), fighter);
    const Window cover = CreateCover("cover");
    ASSERT_TRUE(bCoverWhileGrabbed([&] { XMapWindow(x.Dpy(), cover); })) << strStacking();
    EXPECT_TRUE(bOverlayBackOnTop()) << strStacking();
    vExitInOrder();
}
