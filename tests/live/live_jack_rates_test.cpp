#include <gtest/gtest.h>

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

// The longest run of frames in which the recording equals the render, sample for sample
// on both channels, once aligned at the offset where a stretch of the render first shows.
int64_t LongestEqualRun(const std::vector<int16_t>& left, const std::vector<int16_t>& right,
                        const std::vector<Frame>& render, int64_t& offset) {
  // A stretch of the render a second in, well inside the file.
  const auto from = static_cast<int64_t>(render.size() / kInputSeconds);
  constexpr int64_t kKey = 64;
  offset = -1;
  for (int64_t at = 0; at + kKey <= static_cast<int64_t>(left.size()); ++at) {
    int64_t k = 0;
    while (k < kKey && left[at + k] == render[from + k].left) ++k;
    if (k == kKey) {
      offset = at - from;
      break;
    }
  }
  if (offset < 0) return 0;
  int64_t best = 0;
  int64_t run = 0;
  for (int64_t i = std::max<int64_t>(0, -offset); i < static_cast<int64_t>(render.size()); ++i) {
    const int64_t r = i + offset;
    if (r >= static_cast<int64_t>(left.size())) break;
    run = left[r] == render[i].left && right[r] == render[i].right ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
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
  ASSERT_GE(engine.WaveDeviceId[0], 0) << "no JACK device named " << kFeed;
  ASSERT_GE(engine.WaveDeviceId[1], 0) << "no JACK device named " << kFeed;

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
  int64_t offset = 0;
  const int64_t run = LongestEqualRun(left, right, rendered, offset);
  std::cout << rate << " Hz: " << handled.blocks.size() << " blocks of " << layout.BlockLen
            << " frames; the output equals the render for " << run << " frames in a row ("
            << static_cast<double>(run) / rate << " s), " << offset << " frames late\n";
  ASSERT_GE(offset, 0) << "the render's signal was not found in what the program played";
  EXPECT_GE(run, 2 * rate) << "the program played something else than the render";
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
