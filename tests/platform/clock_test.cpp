// The virtual clock that lets frame loops run fast and the same way every time.
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <climits>

namespace dusk {
namespace {

class ClockTest : public ::testing::Test {
 protected:
  void TearDown() override { UseRealClock(); }
};

TEST_F(ClockTest, SleepingAdvancesVirtualTimeAtOnce) {
  UseVirtualClock(1000);
  EXPECT_TRUE(VirtualClockInUse());
  EXPECT_EQ(ClockMs(), 1000);
  SleepMs(16);
  EXPECT_EQ(ClockMs(), 1016);
  SleepMs(-5);
  SleepMs(0);
  EXPECT_EQ(ClockMs(), 1016);
  AdvanceVirtualClock(4);
  EXPECT_EQ(ClockMs(), 1020);
  // An hour of sleeping costs nothing.
  SleepMs(3600000);
  EXPECT_EQ(ClockMs(), 3601020);
}

TEST_F(ClockTest, VirtualTimeWrapsLikeA32BitCounter) {
  UseVirtualClock(INT_MAX - 5);
  int before = ClockMs();
  SleepMs(10);
  int after = ClockMs();
  EXPECT_EQ(after, INT_MIN + 4);
  EXPECT_EQ(static_cast<int>(static_cast<unsigned>(after) - static_cast<unsigned>(before)), 10);
}

TEST_F(ClockTest, RealClockMovesWithSleep) {
  UseRealClock();
  EXPECT_FALSE(VirtualClockInUse());
  int before = ClockMs();
  SleepMs(20);
  EXPECT_GE(static_cast<int>(static_cast<unsigned>(ClockMs()) - static_cast<unsigned>(before)), 20);
}

}  // namespace
}  // namespace dusk
