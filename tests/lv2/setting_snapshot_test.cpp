#include "lv2/setting_snapshot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "effects/effect_catalogue.h"

namespace ampora {
namespace {

bool Same(const ChainSetting& x, const ChainSetting& y) {
  return x.fx == y.fx && x.levels.LevelIn == y.levels.LevelIn &&
         x.levels.LevelOut == y.levels.LevelOut;
}

// A host saves the state while the audio thread publishes setting after setting: every
// read is one whole setting, never half of one and half of the next.
TEST(SettingSnapshotTest, AReadDuringPublishingGivesOneWholeSetting) {
  ChainSetting a = DefaultSetting();
  ChainSetting b = DefaultSetting();
  for (int32_t& value : b.fx) value = -value - 1;
  b.levels = {{-7, -7}, {3, 4}};
  SettingSnapshot snapshot;
  snapshot.Publish(a);
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int i = 0; i < 200000; ++i) snapshot.Publish(i % 2 == 0 ? b : a);
    done = true;
  });
  int torn = 0;
  int reads = 0;
  while (!done) {
    const ChainSetting read = snapshot.Read();
    if (!Same(read, a) && !Same(read, b)) ++torn;
    ++reads;
  }
  audio.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace ampora
