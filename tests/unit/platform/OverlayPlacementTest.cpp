// Layer-shell overlay placement: the output under the pointer, margins from
// that output's corner, and the hot spot and size at the output's scale.
#include "platform/wayland/OverlayPlacement.h"

#include <gtest/gtest.h>

namespace {

// Two outputs side by side: 1280 x 800 at scale 1, then 1440 x 900 logical at 2.
const SOutputBox kTwo[] = {{0, 0, 1280, 800, 1.0}, {1280, 0, 1440, 900, 2.0}};

TEST(OverlayPlacement, MarginsAreTakenFromTheOutputUnderThePointer)
{
    // Hot spot (16, 16): the pointer at (116, 216) on the first output.
    SOverlayPlace p = PlaceOverlay(kTwo, 2, 100, 200, 16, 16);
    EXPECT_EQ(p.nOutput, 0);
    EXPECT_EQ(p.nMarginLeft, 100);
    EXPECT_EQ(p.nMarginTop, 200);

    // The pointer at (1300, 50) is on the second output, where the picture
    // is drawn at half its logical size: the hot spot lies 8 logical pixels in.
    p = PlaceOverlay(kTwo, 2, 1284, 34, 16, 16);
    EXPECT_EQ(p.nOutput, 1);
    EXPECT_EQ(p.nMarginLeft, 1300 - 8 - 1280);
    EXPECT_EQ(p.nMarginTop, 50 - 8);

    // The picture's corner may stand left of the pointer's output: the margin
    // goes negative rather than the picture jumping to the other output.
    p = PlaceOverlay(kTwo, 2, 1270, 10, 16, 16);
    EXPECT_EQ(p.nOutput, 1);
    EXPECT_EQ(p.nMarginLeft, -2);
}

TEST(OverlayPlacement, APointerOutsideEveryOutputUsesTheNearest)
{
    EXPECT_EQ(OutputUnder(kTwo, 2, -50, 400), 0);
    EXPECT_EQ(OutputUnder(kTwo, 2, 3000, 850), 1);
    EXPECT_EQ(OutputUnder(kTwo, 2, 1000, 850), 0); // below the first, which is shorter
    EXPECT_EQ(OutputUnder(kTwo, 2, 1279, 850), 1); // but nearer the second
    EXPECT_EQ(OutputUnder(kTwo, 0, 10, 10), -1);
    EXPECT_EQ(PlaceOverlay(kTwo, 0, 10, 10, 0, 0).nOutput, -1);
}

TEST(OverlayPlacement, LogicalSizeKeepsDevicePixelsOneToOne)
{
    EXPECT_EQ(LogicalLength(128, 1.0), 128);
    EXPECT_EQ(LogicalLength(128, 2.0), 64);
    EXPECT_EQ(LogicalLength(128, 1.5), 85);
    EXPECT_EQ(LogicalLength(33, 2.0), 17); // rounds, never cuts a pixel column off
    EXPECT_EQ(LogicalLength(1, 3.0), 1);   // never vanishes
    EXPECT_EQ(LogicalLength(0, 2.0), 0);
}

} // namespace
