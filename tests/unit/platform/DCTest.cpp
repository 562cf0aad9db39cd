// The drawing surface's GDI operations, checked pixel by pixel.
#include "platform/image/Bitmap32.h"
#include "platform/ui/DC.h"
#include "platform/ui/GdiBitmap.h"
#include "unit/PixelChannels.h"

#include <gtest/gtest.h>

namespace {

// The colour of a surface pixel.
COLORREF At(const CBitmap32& surface, int x, int y)
{
    const std::uint32_t px = surface.Pixel(x, y);
    return RGB(PixelRed(px), PixelGreen(px), PixelBlue(px));
}

} // namespace

TEST(DC, FramesFillsAndPatternsLandOnTheRightPixels)
{
    CBitmap32 surface;
    ASSERT_TRUE(surface.bCreate(16, 16));
    CDC dc(&surface);
    RECT all{0, 0, 16, 16};
    dc.FillSolidRect(&all, RGB(255, 255, 255));

    // Draw3dRect: top/left in one colour, right/bottom (both corners) in the other.
    RECT box{2, 2, 8, 8};
    dc.Draw3dRect(&box, RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(At(surface, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(At(surface, 7, 2), RGB(0, 0, 255));
    EXPECT_EQ(At(surface, 2, 7), RGB(0, 0, 255));
    EXPECT_EQ(At(surface, 4, 4), RGB(255, 255, 255));

    // A grip-like pattern brush (rows alternately set and clear): 0 bits take
    // the text colour (black), 1 bits the background colour (white).
    const BYTE rows[16] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0};
    CBitmap bits;
    ASSERT_TRUE(bits.CreateBitmap(8, 8, 1, 1, rows));
    CBrush grip;
    ASSERT_TRUE(grip.CreatePatternBrush(&bits));
    RECT gripBox{14, 14, 10, 10};
    dc.FillRect(&gripBox, &grip);
    EXPECT_EQ(At(surface, 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(At(surface, 10, 11), RGB(0, 0, 0));

    // A focus rectangle drawn twice leaves nothing behind.
    RECT focus{1, 1, 15, 15};
    const CBitmap32* before = &surface;
    std::vector<std::uint32_t> copy(before->Bits(), before->Bits() + before->PixelCount());
    dc.DrawFocusRect(&focus);
    EXPECT_NE(At(surface, 1, 1), RGB(255, 255, 255));
    dc.DrawFocusRect(&focus);
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), surface.Bits()));
}

TEST(DC, OriginClipAndSavedStatesCompose)
{
    CBitmap32 surface;
    ASSERT_TRUE(surface.bCreate(10, 10));
    CDC dc(&surface);
    const int saved = dc.SaveDC();
    dc.SetWindowOrg(5, 5);
    RECT clip{5, 5, 8, 8};
    dc.IntersectClipRect(&clip);
    RECT box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, (RECT{5, 5, 8, 8}));
    RECT fill{0, 0, 20, 20};
    dc.FillSolidRect(&fill, RGB(0, 255, 0)); // only device 0..3 x 0..3 is reached
    EXPECT_TRUE(dc.RestoreDC(saved));
    EXPECT_EQ(At(surface, 2, 2), RGB(0, 255, 0));
    EXPECT_EQ(CBitmap32::Alpha(surface.Pixel(3, 3)), 0);
    dc.GetClipBox(&box);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));

    // A half-transparent picture blended over a solid fill.
    dc.FillSolidRect(6, 6, 4, 4, RGB(255, 0, 0));
    CBitmap32 half;
    ASSERT_TRUE(half.bCreate(1, 1));
    half.SetPixel(0, 0, CBitmap32::Premultiply(0, 0, 255, 128));
    RECT dest{6, 6, 10, 10};
    dc.AlphaBlendStretch(&dest, half, FALSE);
    const COLORREF mixed = At(surface, 9, 9);
    EXPECT_NEAR(GetRValue(mixed), 127, 1);
    EXPECT_NEAR(GetBValue(mixed), 128, 1);
}
