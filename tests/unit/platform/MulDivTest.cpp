// The one MulDiv: rounding half away from zero, -1 where Windows answers -1.
#include "platform/base/MulDiv.h"

#include <gtest/gtest.h>

TEST(MulDivTest, RoundsAwayFromZeroAndAnswersMinusOneOnZeroOrOverflow)
{
    EXPECT_EQ(MulDiv(7, 3, 2), 11);   // 10.5
    EXPECT_EQ(MulDiv(-7, 3, 2), -11);
    EXPECT_EQ(MulDiv(7, 3, -2), -11);
    EXPECT_EQ(MulDiv(1 << 30, 8, 4), -1);
    EXPECT_EQ(MulDiv(5, 8, 0), -1);   // a dialog with no font metrics yet must not trap
}
