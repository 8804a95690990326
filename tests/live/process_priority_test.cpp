#include "live/process_priority.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

namespace ampora {
namespace {

// The nice value of the calling thread.
int OwnNice() {
  return getpriority(PRIO_PROCESS, 0);
}

TEST(ProcessPriority, RaisesToTheValueAskedForAndNeverLowers) {
  const int original = OwnNice();
  if (setpriority(PRIO_PROCESS, 0, kRaisedNice - 5) != 0) {
    GTEST_SKIP() << "this user may not raise priorities";
  }
  RaiseProcessPriority();
  EXPECT_EQ(OwnNice(), kRaisedNice - 5);
  setpriority(PRIO_PROCESS, 0, 0);
  RaiseProcessPriority();
  EXPECT_EQ(OwnNice(), kRaisedNice);
  setpriority(PRIO_PROCESS, 0, original);
}

}  // namespace
}  // namespace ampora
