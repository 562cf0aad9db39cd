// The overlay's shape without a compositor: banded rectangles from alpha
// (the exact shape of plain pictures is checked on a real server).
#include "platform/image/AlphaShape.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(AlphaShape, ARaggedPictureIsCoarsenedToFitAndStillCoversEveryOpaquePixel)
{
    // A checkerboard with a diagonal of lone pixels: 76,800 runs unmerged.
    const auto opaque = [](int x, int y) { return ((x + y) % 2 == 0 && y < 280) || (y >= 280 && x == y); };
    const std::vector<ShapeRect> rects = AlphaShapeRects(Picture(512, 300, opaque), 2000);
    ASSERT_FALSE(rects.empty());
    EXPECT_LE(rects.size(), 2000u);
    std::vector<char> covered(512 * 300, 0);
    for (size_t i = 0; i < rects.size(); ++i) {
        const ShapeRect& r = rects[i];
        const ShapeRect& p = rects[i > 0 ? i - 1 : 0];
        // Banded: the same band left to right, or a later band below.
        ASSERT_TRUE(i == 0 || (p.y == r.y && p.nHeight == r.nHeight && p.x + p.nWidth < r.x) || p.y + p.nHeight <= r.y);
        ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.nWidth > 0 && r.nHeight > 0 && r.x + r.nWidth <= 512 && r.y + r.nHeight <= 300);
        for (int y = r.y; y < r.y + r.nHeight; ++y)
            std::fill_n(covered.begin() + y * 512 + r.x, r.nWidth, 1);
    }
    for (int i = 0; i < 512 * 300; ++i) {
        ASSERT_TRUE(!opaque(i % 512, i / 512) || covered[static_cast<size_t>(i)]) << i % 512 << "," << i / 512;
    }
    EXPECT_FALSE(covered[299 * 512 + 10]) << "blocks far from the picture stay out";
}
