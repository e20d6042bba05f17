#include "services/time.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ManualClock, StopwatchMovesOnlyWithTheClockByFiniteStepsForward) {
    time_use_manual_clock(true);
    Time watch;
    EXPECT_EQ(watch.get_elapsed_time_noreset(), 0.0);
    time_advance(0.25);
    for (double refused : {-1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        time_advance(refused);
    time_advance(0.5);
    EXPECT_DOUBLE_EQ(watch.get_elapsed_time_noreset(), 0.75);
    EXPECT_DOUBLE_EQ(watch.get_elapsed_time_noreset(), 0.75) << "reading must not restart the count";
    watch.reset();
    EXPECT_EQ(watch.get_elapsed_time_noreset(), 0.0);
    time_advance(2.0);
    // Switching back keeps running stopwatches continuous.
    time_use_manual_clock(false);
    const double after = watch.get_elapsed_time_noreset();
    EXPECT_TRUE(after >= 2.0 && after < 3.0) << after;
}

}  // namespace
