// A compositing manager that starts or stops while the pointer is on: the
// overlay drops its alpha-cut bounding shape for the blend, and takes it
// back when the blend is gone.
#include "PointerOnFixture.h"

#include <X11/extensions/shape.h>


class CompositorSwitchTest : public CPointerOnFixture {
protected:
    static constexpr uint32_t kHalfRed = 0x60FF0000;  // alpha 96: blended, or cut away by the shape

    DisplaySetup Setup() const override { return {.bCompositor = false, .bShippedPointers = false}; }
};

TEST_F(CompositorSwitchTest, ShapeGoesWhenACompositorStartsAndComesBackWhenItStops)
{
    // Left half opaque, right half at alpha 96, the top row clear.
    CTestPicture picture(32, 32, 0);
    for (int py = 1; py < 32; ++py)
        for (int px = 0; px < 32; ++px)
            picture.vSet(px, py, px < 16 ? kRed : kHalfRed);
    vStart(picture, {.strName = "split.png"});
    vSwitchOnAt(300, 300);
    ASSERT_TRUE(bOverlayAt({284, 284, 32, 32}));
    // Shape changes and the compositor's repaints both wake the waits.
    XShapeSelectInput(x.Dpy(), overlay, ShapeNotifyMask);
    XSync(x.Dpy(), False);

    const TestRect opaque{286, 290, 10, 10}, half{304, 290, 10, 10}, clearRow{284, 284, 32, 1};
    auto isRed = [](uint32_t p) { return p == 0xFF0000; };
    auto isBackground = [](uint32_t p) { return p == kBackground; };
    // Alpha 96 over blue: red 96, blue 255 - 96.
    auto isBlend = [](uint32_t p) { return bNear(p, 96, 0, 159, 3); };

    ASSERT_TRUE(bWaitFor([&] { return bBoundingShaped(); })) << "no compositor: the overlay needs a bounding shape";
    EXPECT_EQ(strShapeMismatch(picture), "") << "pixels where the shape is not alpha >= 128";
    EXPECT_TRUE(bScreenMatches(opaque, isRed)) << std::hex << x.Pixel(opaque.x, opaque.y);
    EXPECT_TRUE(bScreenMatches(half, isBackground)) << "alpha 96 is cut away: " << std::hex << x.Pixel(half.x, half.y);

    ASSERT_TRUE(bStartCompositor()) << "xcompmgr did not take the compositing selection";
    EXPECT_TRUE(bWaitFor([&] { return !bBoundingShaped(); })) << "the shape must go once a compositor blends";
    EXPECT_TRUE(bScreenMatches(half, isBlend)) << "alpha 96 is blended: " << std::hex << x.Pixel(half.x, half.y);
    EXPECT_TRUE(bScreenMatches(opaque, isRed)) << std::hex << x.Pixel(opaque.x, opaque.y);
    EXPECT_TRUE(bScreenMatches(clearRow, isBackground)) << std::hex << x.Pixel(clearRow.x, clearRow.y);

    vStopCompositor();
    ASSERT_FALSE(x.bHasSelectionOwner("_NET_WM_CM_S0")) << "xcompmgr left its selection behind";
    EXPECT_TRUE(bWaitFor([&] { return bBoundingShaped(); })) << "the shape must come back without a compositor";
    EXPECT_EQ(strShapeMismatch(picture), "") << "pixels where the shape is not alpha >= 128";
    EXPECT_TRUE(bScreenMatches(half, isBackground)) << "alpha 96 is cut away again: " << std::hex
                                                    << x.Pixel(half.x, half.y);
    EXPECT_TRUE(bScreenMatches(opaque, isRed)) << std::hex << x.Pixel(opaque.x, opaque.y);
    EXPECT_TRUE(x.bIsViewable(overlay)) << "the switches must not hide the pointer";
    vExitInOrder();
}
