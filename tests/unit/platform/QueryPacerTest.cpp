// The reader's query pacing: a motion that comes alone is never held, a
// mouse that outpaces the queries is read once per gap, and a stream that
// stops leaves the reader waiting on its connection with no timer.
#include "platform/x11/QueryPacer.h"

#include <gtest/gtest.h>

constexpr std::int64_t kUs = 1000;

TEST(QueryPacerTest, LoneMotionsGoAtOnceOutpacingOnesOncePerGapAndAStillMouseSleeps)
{
    CQueryPacer pacer(200 * kUs);
    std::int64_t t = 1'000'000 * kUs;
    // Motions that each come after the last one was followed, however soon,
    // are queried at once and nothing is timed.
    for (int i = 0; i < 3; ++i, t += 150 * kUs) {
        ASSERT_TRUE(pacer.bMayQuery(t));
        EXPECT_EQ(pacer.SleepNs(t + 100 * kUs, false), -1);
    }

    // 8000 Hz: motions come while the query is on its way; the next ones
    // are held for the rest of the gap.
    t += 1000 * kUs;
    ASSERT_TRUE(pacer.bMayQuery(t));
    pacer.vOutpaced();
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
