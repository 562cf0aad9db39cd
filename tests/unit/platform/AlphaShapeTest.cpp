// The overlay's shape without a compositor: banded rectangles from alpha.
#include "platform/image/AlphaShape.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

CBitmap32 Picture(int w, int h, const std::function<bool(int, int)>& opaque)
{
    CBitmap32 pic;
    EXPECT_TRUE(pic.bCreate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pic.SetPixel(x, y, opaque(x, y) ? 0x80FFFFFFu : 0x7FFFFFFFu);
    return pic;
}

} // namespace

TEST(AlphaShape, RunsAtHalfAlphaMergedIntoBands)
{
    // Rows 0-1: two runs; row 2: none; row 3: one run to the right edge.
    const CBitmap32 pic = Picture(6, 4, [](int x, int y) {
        return y < 2 ? (x == 1 || x == 2 || x == 4) : y == 3 && x >= 3;
    });
    const std::vector<ShapeRect> expected{{1, 0, 2, 2}, {4, 0, 1, 2}, {3, 3, 3, 1}};
    EXPECT_EQ(AlphaShapeRects(pic, 100), expected);
    EXPECT_TRUE(AlphaShapeRects(Picture(5, 5, [](int, int) { return false; }), 100).empty());
    EXPECT_EQ(AlphaShapeRects(Picture(5, 5, [](int, int) { return true; }), 100), (std::vector<ShapeRect>{{0, 0, 5, 5}}));
}

TEST(AlphaShape, ARaggedPictureIsCoarsenedToFitAndStillCoversEveryOpaquePixel)
{
    // A checkerboard with a diagonal of lone pixels: 76,800 runs unmerged.
    const auto opaque = [](int x, int y) { return ((x + y) % 2 == 0 && y < 280) || (y >= 280 && x == y); };
    const CBitmap32 pic = Picture(512, 300, opaque);
    const std::vector<ShapeRect> rects = AlphaShapeRects(pic, 2000);
    ASSERT_FALSE(rects.empty());
    EXPECT_LE(rects.size(), 2000u);
    std::vector<char> covered(512 * 300, 0);
    for (size_t i = 0; i < rects.size(); ++i) {
        const ShapeRect& r = rects[i];
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.nWidth > 0 && r.nHeight > 0 && r.x + r.nWidth <= 512 && r.y + r.nHeight <= 300);
        if (i > 0) { // banded: same band left to right, or a later band below
            const ShapeRect& p = rects[i - 1];
            EXPECT_TRUE((p.y == r.y && p.nHeight == r.nHeight && p.x + p.nWidth < r.x) || p.y + p.nHeight <= r.y) << i;
        }
        for (int y = r.y; y < r.y + r.nHeight; ++y)
            for (int x = r.x; x < r.x + r.nWidth; ++x)
                covered[static_cast<size_t>(y * 512 + x)] = 1;
    }
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 512; ++x) {
            ASSERT_TRUE(!opaque(x, y) || covered[static_cast<size_t>(y * 512 + x)]) << x << "," << y;
        }
    EXPECT_FALSE(covered[static_cast<size_t>(299 * 512 + 10)]) << "blocks far from the picture stay out";
}
