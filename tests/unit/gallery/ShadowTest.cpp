// The drop shadow's band: which pixels it darkens and by how much.
#include "gallery/ShadowBand.h"
#include "unit/PixelChannels.h"

#include <gtest/gtest.h>

namespace {

// Brightness left at (x, y) of a white image darkened by the band, in percent.
int nPercentAt(const CBitmap32& img, int x, int y)
{
    return (PixelRed(img.Pixel(x, y)) * 100 + 127) / 255;
}

} // namespace

TEST(Shadow, BandOfA24By14Rectangle)
{
    CBitmap32 img;
    ASSERT_TRUE(img.bCreate(28, 18));
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 28; ++x)
            img.SetPixel(x, y, 0xFFFFFFFFu);
    ShadowBand::vDarken(img, 24, 14, 4);

    struct Expect {
        int x, y, percent;
    };
    for (const Expect& e : {Expect{24, 4, 70}, Expect{27, 12, 92}, Expect{24, 3, 100}, Expect{9, 13, 70},
             Expect{8, 13, 70}, Expect{5, 13, 92}, Expect{4, 13, 100}, Expect{27, 16, 100}, Expect{10, 0, 100}}) {
        EXPECT_EQ(nPercentAt(img, e.x, e.y), e.percent) << e.x << "," << e.y;
    }
    for (int x = 0; x < 28; ++x)
        EXPECT_EQ(img.Pixel(x, 17), 0xFFFFFFFFu) << x;
    EXPECT_EQ(CBitmap32::Alpha(img.Pixel(24, 4)), 255);
}

TEST(Shadow, CornerTableAndEachPixelOnce)
{
    const int table[4][4] = {{70, 77, 85, 92}, {77, 77, 85, 92}, {85, 85, 85, 92}, {92, 92, 92, -1}};
    for (int l = 0; l < 4; ++l)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(ShadowBand::nCornerBrightness(i, l, 4, 70, 100), table[l][i]) << i << "," << l;

    int visits[18][28] = {};
    ShadowBand::vForEachPixel(24, 14, 4, 70, 100, [&](int x, int y, int) { ++visits[y][x]; });
    for (const auto& row : visits)
        for (int v : row)
            EXPECT_LE(v, 1);
}

TEST(Shadow, CompositedBandIsTranslucentBlack)
{
    CBitmap32 img;
    ASSERT_TRUE(img.bCreate(28, 18));
    ShadowBand::vShade(img, 24, 14, 4);
    EXPECT_EQ(img.Pixel(24, 4), 76u << 24); // 30 % black
    EXPECT_EQ(img.Pixel(27, 12), 20u << 24); // 8 % black
    EXPECT_EQ(img.Pixel(24, 3), 0u);
}
