#include "audio/devices/stream_fault_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace ampora {
namespace {

// A stream's life as the library lives it: each character one cycle of the stream thread,
// '.' a cycle whose read or write worked, 'e' one that failed (reported as a warning, the
// library goes on), 'F' one the library gave the stream up in.
bool LostAfter(const std::string& cycles, StreamFaultWatch& watch) {
  for (char c : cycles) {
    watch.CycleStarted();
    if (c != '.') StreamFaultWatch::ReportOnThisThread(c == 'F');
  }
  watch.CycleStarted();
  return watch.Failed();
}

TEST(StreamFaultWatch, OnlyAFailureThatLastsOrIsFatalLosesTheStream) {
  const std::string failing(StreamFaultWatch::kFailedCyclesForLost, 'e');
  const std::string almost(StreamFaultWatch::kFailedCyclesForLost - 1, 'e');
  struct Case {
    const char* what;
    std::string cycles;
    bool lost;
  };
  const Case cases[] = {
      {"a stream that works", std::string(500, '.'), false},
      {"an underrun now and then", ".....e.....e..e....e", false},
      {"failures broken by a good cycle", almost + "." + almost + "." + almost, false},
      {"a device that keeps failing", failing, true},
      {"one that fails after working a while", std::string(300, '.') + failing, true},
      {"several reports in each failing cycle count one cycle",
       std::string(3 * (StreamFaultWatch::kFailedCyclesForLost - 1), 'e'), true},
      {"a failure the library stops the stream for", "...F", true},
  };
  for (const Case& c : cases) {
    StreamFaultWatch watch;
    EXPECT_EQ(LostAfter(c.cycles, watch), c.lost) << c.what;
  }
}

TEST(StreamFaultWatch, ALostStreamStaysLostUntilReset) {
  StreamFaultWatch watch;
  ASSERT_TRUE(LostAfter(std::string(StreamFaultWatch::kFailedCyclesForLost, 'e'), watch));
  EXPECT_TRUE(LostAfter(std::string(100, '.'), watch)) << "good cycles after the loss";
  watch.Reset();
  EXPECT_FALSE(watch.Failed());
  EXPECT_FALSE(LostAfter("....e...", watch));
}

TEST(StreamFaultWatch, TheCycleAfterAFailedOneHasNoFreshFrames) {
  StreamFaultWatch watch;
  EXPECT_TRUE(watch.CycleStarted());
  StreamFaultWatch::ReportOnThisThread(false);
  EXPECT_FALSE(watch.CycleStarted()) << "the read before failed";
  EXPECT_TRUE(watch.CycleStarted());
}

// Reports reach the watch their thread names, and none other: two streams' threads, and
// a thread that names none (the UI thread outside a start).
TEST(StreamFaultWatch, AReportGoesToTheWatchOfItsThread) {
  StreamFaultWatch first;
  StreamFaultWatch second;
  auto failForever = [](StreamFaultWatch& watch) {
    for (int i = 0; i <= StreamFaultWatch::kFailedCyclesForLost; ++i) {
      watch.CycleStarted();
      StreamFaultWatch::ReportOnThisThread(false);
    }
  };
  std::thread failing(failForever, std::ref(first));
  std::thread working([&] {
    for (int i = 0; i < 1000; ++i) second.CycleStarted();
  });
  failing.join();
  working.join();
  StreamFaultWatch::ReportOnThisThread(true);  // this thread names no watch
  EXPECT_TRUE(first.Failed());
  EXPECT_FALSE(second.Failed());

  StreamFaultWatch started;
  {
    const StreamFaultWatch::ThreadScope scope(started);
    StreamFaultWatch::ReportOnThisThread(true);
  }
  StreamFaultWatch::ReportOnThisThread(true);
  EXPECT_TRUE(started.Failed()) << "a start that failed";
  EXPECT_FALSE(second.Failed()) << "nothing after the scope";
}

}  // namespace
}  // namespace ampora
