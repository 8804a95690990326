#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>

#include "audio/devices/sample_conversion.h"
#include "live/live_path.h"
#include "live/live_rig.h"
#include "render/offline_render.h"
#include "support/signals.h"
#include "support/test_jack_client.h"
#include "support/test_jack_server.h"
#include "support/wav_files.h"
#include "tuner/tuner_bins.h"

// The live path on real JACK servers at rates other than 44100, each started by the test:
// a client of the test plays a known file into the program's input and records what the
// program plays, which must be what ampora-render makes of the same file at that rate.

namespace ampora::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kFeed[] = "ampora-feed";
constexpr int32_t kInputSeconds = 6;

// Effects whose output depends only on the signal since the stream started in silence:
// no LFO phase, no grain cycle, no random reflections. The live stream starts at any
// point of the file and at any point of a block, the render at its first frame.
constexpr char kBank[] =
    "[Current]\n"
    "Compressor-01=1\nCompressor-02=30\n"
    "OverDrive-01=1\nOverDrive-02=40\nOverDrive-03=70\n"
    "GraphicEQ-01=1\nGraphicEQ-04=6\nGraphicEQ-10=-4\n"
    "Echo-01=1\nEcho-02=120\nEcho-03=40\n"
    "Delay-01=1\nDelay-02=35\nDelay-03=55\n";

class LiveJackRatesTest : public SettingsFixture, public ::testing::WithParamInterface<int32_t> {
 protected:
  RecordingView view;
};

// How the recording holds the render from a second in on: in stretches equal to it sample
// for sample on both channels, each shifted from the one before by a latency correction
// (half a block dropped, or a tenth of a block played twice).
struct Stretches {
  int64_t framesEqual = 0;  // of the render compared
  int64_t framesCompared = 0;
  int64_t longest = 0;
  int count = 0;
};

Stretches FindStretches(const std::vector<int16_t>& left, const std::vector<int16_t>& right,
                        const std::vector<Frame>& render, int32_t blockLen) {
  const auto recorded = static_cast<int64_t>(left.size());
  const auto equalAt = [&](int64_t i, int64_t offset, int64_t frames) {
    if (i + offset < 0 || i + offset + frames > recorded) return false;
    for (int64_t k = 0; k < frames; ++k) {
      const Frame f = render[static_cast<size_t>(i + k)];
      const auto r = static_cast<size_t>(i + offset + k);
      if (left[r] != f.left || right[r] != f.right) return false;
    }
    return true;
  };
  // Noise through the effects: 32 frames tell any place apart.
  constexpr int64_t kKey = 32;
  const auto from = static_cast<int64_t>(render.size()) / kInputSeconds;
  Stretches found;
  int64_t offset = -from;
  while (offset < recorded && !equalAt(from, offset, kKey)) ++offset;
  if (offset == recorded) return found;
  int64_t run = 0;
  for (int64_t i = from; i < static_cast<int64_t>(render.size()) && i + offset < recorded;) {
    ++found.framesCompared;
    if (equalAt(i, offset, 1)) {
      ++found.framesEqual;
      found.longest = std::max(found.longest, ++run);
      ++i;
      continue;
    }
    if (run > 0) ++found.count;
    run = 0;
    int64_t shifted = offset - blockLen;
    while (shifted <= offset + blockLen && !equalAt(i, shifted, kKey)) ++shifted;
    if (shifted <= offset + blockLen) {
      offset = shifted;
      --found.framesCompared;
    } else {
      ++i;
    }
  }
  if (run > 0) ++found.count;
  return found;
}

TEST_P(LiveJackRatesTest, StreamsEveryBlockOnceAndPlaysWhatTheRendererMakes) {
  const int32_t rate = GetParam();
  TestJackServer server;
  ASSERT_TRUE(server.Start(TestJackServer::UniqueName("ampora-rates", rate), rate, 256))
      << server.Error();
  const UseJackServer use(server.Name());

  // The known input, at the server's rate: noise, which tells every stretch apart.
  const std::string inputPath = TempFilePath("feed-" + std::to_string(rate) + ".wav");
  const std::vector<int16_t> input = Noise(9000, kInputSeconds * rate, 17);
  WriteWav(inputPath, StereoFrames(input, input), rate, 1);
  std::vector<float> feedSamples(input.size());
  for (size_t i = 0; i < input.size(); ++i) feedSamples[i] = SampleToFloat(input[i]);

  TestJackClient feed(kFeed, 1, 2);
  ASSERT_TRUE(feed.ok()) << feed.Error();
  ASSERT_EQ(feed.SampleRate(), rate);

  WriteFileText(IniPath(), std::string("[conf]\nDeviceIn=") + kFeed + "\nDeviceOut=" + kFeed +
                               "\nBufferMS=7\n" + kBank);
  LiveSetup setup;
  setup.devices.api = "jack";
  setup.midiInputs = [](int32_t) { return std::vector<std::string>{}; };
  LivePath live(view, std::move(setup));
  live.StartUp();
  StreamEngine& engine = live.Engine();
  ASSERT_GE(live.WaveInChoice().IdToOpen(), 0) << "no JACK device named " << kFeed;
  ASSERT_GE(live.WaveOutChoice().IdToOpen(), 0) << "no JACK device named " << kFeed;

  live.ButtonClicked(kStartButton);
  ASSERT_EQ(engine.StreamRunning(), 1);
  EXPECT_EQ(engine.Layout().SampleRate, rate);
  EXPECT_EQ(live.Chain().SampleRate(), rate);
  HandledBlocks handled(engine);
  feed.Record(static_cast<int64_t>(kInputSeconds + 3) * rate);
  feed.Play({feedSamples});
  while (feed.RecordedFrames() < static_cast<int64_t>(kInputSeconds + 3) * rate) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    live.Tick();
  }
  handled.Stop();
  const BlockLayout layout = engine.Layout();
  EXPECT_TRUE(live.ShutDown());
  ASSERT_NO_FATAL_FAILURE(handled.ExpectEachOnceInOrder(layout.BlockCount));
  EXPECT_EQ(engine.Counts().framesDropped, 0);

  RenderOptions options;
  options.input = inputPath;
  options.output = TempFilePath("rendered-" + std::to_string(rate) + ".wav");
  options.iniFile = IniPath();
  options.sampleRate = rate;
  RenderFile(options);
  const std::vector<Frame> rendered = ReadWav(options.output, rate);
  ASSERT_EQ(rendered.size(), input.size());

  std::vector<int16_t> left, right;
  for (size_t i = 0; i < feed.Recorded(0).size(); ++i) {
    left.push_back(FloatToSample(feed.Recorded(0)[i]));
    right.push_back(FloatToSample(feed.Recorded(1)[i]));
  }
  const Stretches found = FindStretches(left, right, rendered, layout.BlockLen);
  std::cout << rate << " Hz: " << handled.blocks.size() << " blocks of " << layout.BlockLen
            << " frames; " << found.framesEqual << " of " << found.framesCompared
            << " frames equal to the render in " << found.count << " stretches, the longest "
            << static_cast<double>(found.longest) / rate << " s\n";
  // Under load the latency control corrects now and then; outside the corrections every
  // frame is the render's.
  EXPECT_GE(found.framesEqual, found.framesCompared * 95 / 100);
  EXPECT_GE(found.framesCompared, (kInputSeconds - 1) * rate * 95 / 100);
  EXPECT_GE(found.longest, rate / 2);
}

INSTANTIATE_TEST_SUITE_P(Rates, LiveJackRatesTest, ::testing::Values(48000, 96000));

// A server restarted at another rate: the lost stream ends, and the next Start sets the
// stream, the chain and the tuner up at the new rate.
TEST_F(LiveJackRatesTest, TheNextStartFollowsAServerRestartedAtAnotherRate) {
  const std::string name = TestJackServer::UniqueName("ampora-restart", 0);
  TestJackServer server;
  ASSERT_TRUE(server.Start(name, 48000, 256)) << server.Error();
  const UseJackServer use(name);
  MessageLog messages;
  WriteFileText(IniPath(), "[conf]\nDeviceIn=system\nDeviceOut=system\n[Current]\nEcho-01=1\n");
  LiveSetup setup;
  setup.devices.api = "jack";
  setup.midiInputs = [](int32_t) { return std::vector<std::string>{}; };
  LivePath live(view, std::move(setup));
  live.StartUp();
  live.ButtonClicked(kStartButton);
  ASSERT_EQ(live.Engine().StreamRunning(), 1);
  EXPECT_EQ(live.Engine().Layout().BlockLen, 336);

  server.Stop();
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (live.Engine().StreamRunning() == 1 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    live.Tick();
  }
  ASSERT_EQ(live.Engine().StreamRunning(), 0) << "the lost server ends the stream";
  ASSERT_TRUE(server.Start(name, 96000, 512)) << server.Error();
  live.ButtonClicked(kStartButton);
  ASSERT_EQ(live.Engine().StreamRunning(), 1);
  EXPECT_EQ(live.Engine().Layout().SampleRate, 96000);
  EXPECT_EQ(live.Engine().Layout().BlockLen, 672);
  EXPECT_EQ(live.Chain().SampleRate(), 96000);
  EXPECT_EQ(live.Tuner().TunerBinIndex(), BuildTunerBins(96000));
  for (int i = 0; i < 100; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    live.Tick();
  }
  EXPECT_GT(live.Engine().Counts().blocksHandled, 0);
  EXPECT_TRUE(live.ShutDown());
}

}  // namespace
}  // namespace ampora::test
