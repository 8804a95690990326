#include "util/wait.h"

#include <gtest/gtest.h>

#include "util/pending_events.h"

namespace ampora {
namespace {

// A clock that advances by a fixed step every time pending events run.
class ScriptedWait : public ::testing::Test {
 protected:
  void Start(double start, double step) {
    now_ = start;
    SetWaitClock([this] { return now_; });
    SetPendingEventsHook([this, step] {
      ++turns_;
      now_ += step;
      if (now_ >= 86400.0) now_ -= 86400.0;
    });
  }
  void TearDown() override {
    SetWaitClock(nullptr);
    SetPendingEventsHook(nullptr);
  }

  double now_ = 0.0;
  int turns_ = 0;
};

TEST_F(ScriptedWait, WaitAcrossMidnightLastsItsDuration) {
  Start(86399.9, 0.01);
  WaitMs(300, 0);
  // 0.31 s have passed (0.30 is not "more than" the span), the clock is past midnight.
  EXPECT_EQ(turns_, 31);
  EXPECT_NEAR(now_, 0.21, 1e-9);
}

TEST_F(ScriptedWait, ClockValuesOutsideTheDayAreClamped) {
  Start(86400.5, 0.0);  // taken as 86399.999
  SetPendingEventsHook([this] {
    ++turns_;
    now_ = turns_ == 1 ? 86400.7 : 0.2;
  });
  WaitMs(150, 0);
  EXPECT_EQ(turns_, 2);  // 0.2 + 86400 - 86399.999 = 0.201 s
}

TEST_F(ScriptedWait, WaitsLongerThanADayEnd) {
  Start(100.0, 3600.0);
  WaitMs(2 * 86400 * 1000 + 1, 0);
  EXPECT_EQ(turns_, 49);
}

TEST_F(ScriptedWait, NonPositiveDurationRunsEventsOnce) {
  Start(10.0, 1.0);
  WaitMs(0, 5);
  WaitMs(-100, 5);
  EXPECT_EQ(turns_, 2);
}

TEST_F(ScriptedWait, SleepsBetweenTurnsWithTheRealClock) {
  Start(0.0, 0.0);
  SetWaitClock(nullptr);
  WaitMs(20, 2);
  EXPECT_GE(turns_, 2);
}

}  // namespace
}  // namespace ampora
