#include <gtest/gtest.h>

#include <limits>

#include "services/time.h"

namespace {

class ManualClock : public ::testing::Test {
protected:
    void SetUp() override { time_use_manual_clock(true); }
    void TearDown() override { time_use_manual_clock(false); }
};

TEST_F(ManualClock, StopwatchMovesOnlyWithTheClock) {
    Time watch;
    EXPECT_EQ(watch.get_elapsed_time_noreset(), 0.0);
    time_advance(0.25);
    time_advance(0.5);
    EXPECT_DOUBLE_EQ(watch.get_elapsed_time_noreset(), 0.75);
    EXPECT_DOUBLE_EQ(watch.get_elapsed_time_noreset(), 0.75) << "reading must not restart the count";
    watch.reset();
    EXPECT_EQ(watch.get_elapsed_time_noreset(), 0.0);
}

TEST_F(ManualClock, RefusesStepsBackwardsAndNonFinite) {
    Time watch;
    time_advance(-1.0);
    time_advance(std::numeric_limits<double>::quiet_NaN());
    time_advance(std::numeric_limits<double>::infinity());
    EXPECT_EQ(watch.get_elapsed_time_noreset(), 0.0);
}

TEST_F(ManualClock, SwitchingBackKeepsRunningStopwatchesContinuous) {
    Time watch;
    time_advance(2.0);
    time_use_manual_clock(false);
    const double after = watch.get_elapsed_time_noreset();
    EXPECT_GE(after, 2.0);
    EXPECT_LT(after, 3.0) << "the system clock must continue from the manual reading";
}

}  // namespace
