// The reader's query pacing: a slow mouse is never held, a fast one is read
// once per gap, and a stream that stops leaves the reader waiting on its
// connection with no timer.
#include "platform/QueryPacer.h"

#include <gtest/gtest.h>

constexpr std::int64_t kUs = 1000;

TEST(QueryPacerTest, SlowMotionsGoAtOnceFastOnesOncePerGapAndAStillMouseSleeps)
{
    CQueryPacer pacer(200 * kUs);
    std::int64_t t = 1'000'000 * kUs;
    // 1000 Hz: every motion is queried at once and nothing is timed.
    for (int i = 0; i < 3; ++i, t += 1000 * kUs) {
        ASSERT_TRUE(pacer.bMayQuery(t));
        EXPECT_EQ(pacer.SleepNs(t + 100 * kUs, false), -1);
    }

    // 8000 Hz: the motion 125 us after a query is held for the rest of the gap.
    ASSERT_TRUE(pacer.bMayQuery(t));
    EXPECT_FALSE(pacer.bMayQuery(t + 125 * kUs));
    EXPECT_EQ(pacer.SleepNs(t + 125 * kUs, true), 75 * kUs);
    // After the move the reader sleeps out the gap rather than waking per motion.
    EXPECT_EQ(pacer.SleepNs(t + 150 * kUs, false), 50 * kUs);
    EXPECT_EQ(pacer.SleepNs(t + 200 * kUs, true), 0) << "held motions are read when the gap ends";
    ASSERT_TRUE(pacer.bMayQuery(t + 200 * kUs));

    // A gap with no motion ends the stream: back to waiting on the connection.
    EXPECT_EQ(pacer.SleepNs(t + 400 * kUs, false), -1);
    EXPECT_EQ(pacer.SleepNs(t + 10'000 * kUs, false), -1);
    EXPECT_TRUE(pacer.bMayQuery(t + 10'000 * kUs));
}
