#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "effects/effect_catalogue.h"
#include "live/live_path.h"
#include "live/live_rig.h"

namespace ampora::test {
namespace {

using Clock = std::chrono::steady_clock;

// The live path as the program runs it, on the JACK server that scripts/test starts: every
// effect on, started from the transport, ticked every 5 ms for half a minute.
class LiveJackTest : public SettingsFixture {
 protected:
  RecordingView view;
};

TEST_F(LiveJackTest, AllEffectsStreamForHalfAMinuteWithoutLosingABlock) {
  if (std::getenv("JACK_DEFAULT_SERVER") == nullptr) {
    GTEST_SKIP() << "JACK_DEFAULT_SERVER is not set: run scripts/test, which starts a JACK "
                    "server with the dummy driver";
  }
  std::string current = "[conf]\nDeviceIn=system\nDeviceOut=system\n[Current]\n";
  for (const EffectSpec& effect : kEffectCatalogue) {
    current += std::string(effect.name) + "-01=1\n";
  }
  WriteFileText(IniPath(), current);
  LiveSetup setup;
  setup.devices.api = "jack";
  setup.midiInputs = [](int32_t) { return std::vector<std::string>{}; };
  LivePath live(view, std::move(setup));
  live.StartUp();
  for (int e = 0; e < kEffectCount; ++e) ASSERT_TRUE(view.EffectOn(e)) << e;
  StreamEngine& engine = live.Engine();
  ASSERT_GE(live.WaveInChoice().IdToOpen(), 0) << "no JACK device named system";
  ASSERT_GE(live.WaveOutChoice().IdToOpen(), 0) << "no JACK device named system";

  live.ButtonClicked(kStartButton);
  ASSERT_EQ(engine.StreamRunning(), 1);
  HandledBlocks handled(engine);
  const auto end = Clock::now() + std::chrono::seconds(30);
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    live.Tick();
  }
  handled.Stop();
  const int64_t captured = live.Devices().WaveIn().PositionBytes() / 4;
  const BlockLayout layout = engine.Layout();
  EXPECT_TRUE(live.ShutDown());

  ASSERT_NO_FATAL_FAILURE(handled.ExpectEachOnceInOrder(layout.BlockCount));
  const int64_t handledFrames = static_cast<int64_t>(handled.blocks.size()) * layout.BlockLen;
  std::cout << "streamed " << handled.blocks.size() << " blocks of " << layout.BlockLen
            << " frames with every effect on; " << captured << " frames captured\n";
  EXPECT_GE(handledFrames, 20 * 44100) << "the stream fell far behind";
  EXPECT_LE(handledFrames, captured);
  EXPECT_LT(captured - handledFrames, 4 * layout.BlockLen) << "completed blocks left behind";
}

}  // namespace
}  // namespace ampora::test
