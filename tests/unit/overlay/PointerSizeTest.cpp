// The pointer's size: the screen's scale, the shown size and hot spot, the
// bicubic resampling, and the overlay drawing its picture at that size.
#include "unit/PictureWait.h"
#include "unit/PixelChannels.h"
#include "overlay/BitmapPointWnd.h"
#include "overlay/ClickRings.h"
#include "overlay/PointerGeometry.h"
#include "platform/image/BicubicScale.h"
#include "platform/null/NullOverlay.h"
#include "TestPng.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using PointerGeometry::ScaleShown;

namespace {

// Every colour component at most the alpha: a valid premultiplied pixel.
bool bPremultiplied(const CBitmap32& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const std::uint32_t p = b.Pixel(x, y);
            const int a = CBitmap32::Alpha(p);
            if (PixelRed(p) > a || PixelGreen(p) > a || PixelBlue(p) > a)
                return false;
        }
    return true;
}

} // namespace

TEST(PointerSize, ScreenScaleShownSizeAndHotSpot)
{
    EXPECT_EQ(PointerGeometry::dScreenScale(1.0, 0), 1.0);
    EXPECT_EQ(PointerGeometry::dScreenScale(2.0, 96), 2.0);
    EXPECT_EQ(PointerGeometry::dScreenScale(1.0, 144), 1.5);
    EXPECT_EQ(PointerGeometry::dScreenScale(1.0, 120), 1.0) << "below 144 dpi counts as scale 1";
    EXPECT_EQ(PointerGeometry::dScreenScale(0.5, 0), 1.0);

    auto shown = ScaleShown(64, 64, 4, 200, 1.0, 4096);
    EXPECT_EQ(shown.nWidth, 128);
    EXPECT_EQ(shown.nHotSpot, 8);
    shown = ScaleShown(64, 64, 4, 100, 2.0, 4096); // 100 % on a 2x screen
    EXPECT_EQ(shown.nWidth, 128);
    EXPECT_EQ(shown.nHotSpot, 8);
    shown = ScaleShown(64, 32, -1, 25, 1.0, 4096);
    EXPECT_EQ(shown.nWidth, 16);
    EXPECT_EQ(shown.nHeight, 8);
    EXPECT_EQ(shown.nHotSpot, -1);
    shown = ScaleShown(3, 1, 0, 25, 1.0, 4096);
    EXPECT_EQ(shown.nHeight, 1) << "never below one pixel";
    shown = ScaleShown(4096, 2048, 1000, 400, 2.0, 4096);
    EXPECT_EQ(shown.nWidth, 4096) << "the longer side stays within the limit";
    EXPECT_EQ(shown.nHeight, 2048);
    EXPECT_EQ(shown.nHotSpot, 1000);
}

TEST(PointerSize, BicubicKeepsColoursEdgesAndPremultiplication)
{
    // An opaque red square on transparency, and a half-transparent border.
    CBitmap32 src;
    ASSERT_TRUE(src.bCreate(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool bInside = x >= 4 && x < 12 && y >= 4 && y < 12;
            src.SetPixel(x, y, bInside ? CBitmap32::Premultiply(255, 0, 0, 255) : CBitmap32::Premultiply(0, 0, 255, 128));
        }
    CBitmap32 big, small;
    ASSERT_TRUE(bScaleBicubic(src, 64, 64, big));
    ASSERT_EQ(big.Width(), 64);
    EXPECT_EQ(big.Pixel(32, 32), CBitmap32::Premultiply(255, 0, 0, 255));
    EXPECT_EQ(big.Pixel(1, 1), CBitmap32::Premultiply(0, 0, 255, 128));
    EXPECT_TRUE(bPremultiplied(big)) << "overshoot at the square's edge is held to valid pixels";
    ASSERT_TRUE(bScaleBicubic(src, 4, 4, small));
    EXPECT_TRUE(bPremultiplied(small));
    EXPECT_GT(PixelRed(small.Pixel(1, 1)), 150) << "shrinking averages the square in";
    EXPECT_FALSE(bScaleBicubic(CBitmap32(), 4, 4, small));
}

TEST(PointerSize, OverlayShowsThePictureAtItsSizeWithTheHotSpotUnderTheCursor)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("arrow-6.png");
    ASSERT_TRUE(WriteTestFile(path, EncodeSolidPng(40, 20, 255, 255, 255, 255)));
    CBitmapPointWnd wnd;
    ASSERT_TRUE(wnd.Create());
    wnd.bUpdateDisplayFrom(path, 100, 200, 1.5);
    ASSERT_TRUE(bWaitForPictures());
    EXPECT_EQ(wnd.nImageWidth.load(), 120);
    EXPECT_EQ(wnd.nImageHeight.load(), 60);
    EXPECT_EQ(wnd.nHotSpot.load(), 18);
    EXPECT_EQ(NullOverlay::Log(wnd.Layered()).nWidth, 120);
    wnd.bUpdateDisplayFrom(path, 100, 100, 1.0);
    EXPECT_EQ(NullOverlay::Log(wnd.Layered()).nWidth, 40) << "back to the decoded picture";
}

TEST(ClickRings, ARingGrowsAndFades)
{
    const int side = CClickRings::nSideFor(1.0);
    CBitmap32 early, late;
    CClickRings::vDrawRing(early, side, 0.1, CClickRings::clrLeft);
    CClickRings::vDrawRing(late, side, 0.9, CClickRings::clrLeft);
    auto radiusAndAlpha = [side](const CBitmap32& b) {
        int r = 0, a = 0;
        for (int x = side / 2; x < side; ++x) // the brightest pixel right of the centre
            if (CBitmap32::Alpha(b.Pixel(x, side / 2)) > a) {
                a = CBitmap32::Alpha(b.Pixel(x, side / 2));
                r = x - side / 2;
            }
        return std::make_pair(r, a);
    };
    EXPECT_LT(radiusAndAlpha(early).first, radiusAndAlpha(late).first);
    EXPECT_GT(radiusAndAlpha(early).second, radiusAndAlpha(late).second);
    EXPECT_EQ(CBitmap32::Alpha(early.Pixel(side / 2, side / 2)), 0) << "the centre stays clear";
    EXPECT_TRUE(bPremultiplied(late));
    EXPECT_EQ(CClickRings::nSideFor(2.0), 2 * side);
}
