// The pointer overlay on a real X server: placement by hot spot, following
// the mouse, the blend on the composited screen, clicks falling through,
// and the shaped fallback when no compositing manager runs.
#include "PointerOnFixture.h"

#include <X11/keysym.h>

class OverlayTest : public CPointerOnFixture {};

TEST_F(OverlayTest, HotSpotPictureFollowsTheMouseAndLetsClicksThrough)
{
    vStart(CTestPicture(16, 16, kRed), {.strName = "dot-0.png"});
    vSwitchOnAt(200, 150);
    ASSERT_TRUE(bOverlayAt({200, 150, 16, 16})) << "pixel (0, 0) must lie under the cursor";

    for (auto [cx, cy] : {std::pair{300, 200}, {301, 201}, {640, 400}, {0, 0}, {1279, 799}, {5, 790}}) {
        x.vMove(cx, cy);
        ASSERT_TRUE(bOverlayAt({cx, cy, 16, 16})) << "after the motion to " << cx << "," << cy;
    }

    x.vMove(400, 300);
    ASSERT_TRUE(bOverlayAt({400, 300, 16, 16}));
    x.vClick(1);
    EXPECT_TRUE(bWaitFor([&] { return x.nButtonPresses(background) == 1; }))
        << "a click on the overlay must reach the window below";
    EXPECT_TRUE(x.bIsViewable(overlay)) << "buttons change nothing";

    ASSERT_TRUE(x.bKey(XK_F8));
    EXPECT_TRUE(bWaitFor([&] { return !x.bIsViewable(overlay); })) << "F8 again must hide the picture";
    vExitInOrder();
}

TEST_F(OverlayTest, CentredPictureBlendsOpaqueAtFullOpacity)
{
    vStart(CTestPicture(33, 33, kRed));
    vSwitchOnAt(100, 100);
    ASSERT_TRUE(bOverlayAt({84, 84, 33, 33})) << "odd sizes truncate: 100 - 33 / 2 = 84";
    // The upper-left quarter, away from where a cursor would be drawn.
    EXPECT_TRUE(bScreenMatches({85, 85, 10, 10}, [](uint32_t p) { return p == 0xFF0000; }))
        << std::hex << x.Pixel(85, 85);
    auto isBackground = [](uint32_t p) { return p == kBackground; };
    EXPECT_TRUE(bScreenMatches({83, 90, 1, 1}, isBackground)) << "left of the picture";
    EXPECT_TRUE(bScreenMatches({90, 83, 1, 1}, isBackground)) << "above the picture";
    vExitInOrder();
}

TEST_F(OverlayTest, HalfOpacityBlendsWithTheScreenBelow)
{
    vStart(CTestPicture(33, 33, kRed), {.nOpacity = 50});
    vSwitchOnAt(100, 100);
    ASSERT_TRUE(bOverlayAt({84, 84, 33, 33}));
    // Constant alpha 50 * 255 / 100 = 127 over blue: red 127, blue 255 - 127.
    EXPECT_TRUE(bScreenMatches({85, 85, 10, 10}, [](uint32_t p) { return bNear(p, 127, 0, 128, 2); }))
        << std::hex << x.Pixel(85, 85);
    vExitInOrder();
}

class OverlayFallbackTest : public OverlayTest {
protected:
    DisplaySetup Setup() const override { return {.bCompositor = false, .bShippedPointers = false}; }
};

TEST_F(OverlayFallbackTest, WithoutCompositorTheWindowIsShapedByAlpha)
{
    // Columns 0-14 opaque, 15 at alpha 128 (shown), 16 at 127 (not), the
    // rest clear; the top row clear throughout.
    CTestPicture picture(32, 32, 0);
    for (int y = 1; y < 32; ++y) {
        for (int px = 0; px < 15; ++px)
            picture.vSet(px, y, kRed);
        picture.vSet(15, y, 0x80FF0000);
        picture.vSet(16, y, 0x7FFF0000);
    }
    vStart(picture, {.strName = "half.png"});
    vSwitchOnAt(300, 300);
    ASSERT_TRUE(bOverlayAt({284, 284, 32, 32}));

    ASSERT_TRUE(bBoundingShaped()) << "without a compositor the overlay needs a bounding shape";
    EXPECT_EQ(strShapeMismatch(picture), "") << "pixels where the shape is not alpha >= 128";

    EXPECT_TRUE(bScreenMatches({286, 286, 8, 8}, [](uint32_t p) { return p == 0xFF0000; }))
        << "opaque part: " << std::hex << x.Pixel(286, 286);
    EXPECT_TRUE(bScreenMatches({302, 286, 12, 8}, [](uint32_t p) { return p == kBackground; }))
        << "clear part: " << std::hex << x.Pixel(302, 286);
    EXPECT_TRUE(bScreenMatches({284, 284, 32, 1}, [](uint32_t p) { return p == kBackground; }))
        << "clear top row: " << std::hex << x.Pixel(284, 284);
    EXPECT_TRUE(bScreenMatches({299, 288, 1, 1}, [](uint32_t p) { return p != kBackground; }))
        << "alpha 128 is shown";
    EXPECT_TRUE(bScreenMatches({300, 288, 1, 1}, [](uint32_t p) { return p == kBackground; }))
        << "alpha 127 is not";
    vExitInOrder();
}
