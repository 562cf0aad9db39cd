// Hot spot from file names, opacity to alpha and placement.
#include "overlay/PointerGeometry.h"

#include <gtest/gtest.h>

using namespace PointerGeometry;

TEST(PointerGeometry, HotSpotFromFileName)
{
    struct Case {
        const char* path;
        int w, h, expected;
    } cases[] = {
        {"/opt/pointer/arrow.png", 64, 64, -1},
        {"/opt/pointer/arrow-0.png", 64, 64, 0},
        {"/opt/pointer/arrow-16.png", 64, 64, 16},
        {"/opt/pointer/arrow-.png", 64, 64, -1},
        {"/opt/pointer/arrow-x.png", 64, 64, -1},
        {"/opt/pointer/-16.png", 64, 64, -1},
        {"/opt/pointer/a-b-7.png", 64, 64, 7},
        {"/opt/pointer/arrow-12abc.png", 64, 64, 12},
        {"/opt/pointer/arrow- 5.png", 64, 64, 5},
        {"/opt/pointer/arrow-+5.png", 64, 64, 5},
        {"/opt/pointer/big-500.png", 64, 64, 64},
        {"/opt/pointer/wide-150.png", 200, 100, 200},
        {"/opt/pointer/huge-99999999999999.png", 64, 32, 64},
        {"/opt/pointer/arrow-16.png", 0, 0, 0},          // picture failed to load
        {"/opt/my-folder-9/arrow.png", 64, 64, -1},      // the folder does not count
        {"/opt/v1.2/dot-3", 64, 64, 3},                  // no extension
        {"/opt/pointer/arrow- -3.png", 64, 64, 3},       // the last hyphen counts
        {"/opt/pointer/arrow-64.png", 64, 64, 64},       // equal to the size is inside
    };
    for (const auto& c : cases)
        EXPECT_EQ(nHotSpotFromPath(QString::fromUtf8(c.path), c.w, c.h), c.expected) << c.path;
}

TEST(PointerGeometry, OpacityToAlpha)
{
    EXPECT_EQ(nAlphaFromOpacity(100), 255);
    EXPECT_EQ(nAlphaFromOpacity(75), 191);
    EXPECT_EQ(nAlphaFromOpacity(50), 127);
    EXPECT_EQ(nAlphaFromOpacity(1), 2);
    EXPECT_EQ(nAlphaFromOpacity(0), 0);
    // Out of range is held to the range, never wrapped (500 would wrap to 251).
    EXPECT_EQ(nAlphaFromOpacity(500), 255);
    EXPECT_EQ(nAlphaFromOpacity(-10), 0);
}

TEST(PointerGeometry, Placement)
{
    Placement p = Place(100, 100, 33, 33, -1);
    EXPECT_EQ(p.x, 84);
    EXPECT_EQ(p.y, 84);
    p = Place(100, 100, 64, 48, 0);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 100);
    p = Place(100, 50, 64, 64, 16);
    EXPECT_EQ(p.x, 84);
    EXPECT_EQ(p.y, 34);
    p = Place(5, 0, 64, 30, -1); // off-screen positions pass unchanged
    EXPECT_EQ(p.x, -27);
    EXPECT_EQ(p.y, -15);
}
