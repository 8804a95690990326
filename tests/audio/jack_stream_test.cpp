#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "audio/device_catalogue.h"
#include "audio/devices/audio_devices.h"
#include "audio/devices/jack_client_stream.h"
#include "audio/devices/sample_conversion.h"
#include "audio/stream_engine.h"
#include "engine_rig.h"
#include "midi/midi_ports.h"
#include "midi/rtmidi_in_service.h"
#include "support/temp_folder.h"
#include "support/test_jack_client.h"
#include "support/test_jack_server.h"
#include "util/pending_events.h"
#include "util/rounding.h"

namespace ampora::test {
namespace {

using Clock = std::chrono::steady_clock;

// The tests need the server that scripts/test starts; outside it there is none to use.
#define SKIP_WITHOUT_JACK_SERVER()                                                           \
  if (std::getenv("JACK_DEFAULT_SERVER") == nullptr) {                                       \
    GTEST_SKIP() << "JACK_DEFAULT_SERVER is not set: run scripts/test, which starts a JACK " \
                    "server with the dummy driver";                                          \
  }

int32_t IdOf(AudioDevices& devices, int32_t direction, const std::string& name) {
  const DeviceCatalogue catalogue([&](int32_t d) { return devices.Names(d); });
  return catalogue.DeviceIdByName(direction, name, 0);
}

// Polls like the main window's timer for the given time.
void PollFor(StreamEngine& engine, std::chrono::milliseconds duration,
             const std::function<void()>& afterPoll = {}) {
  const auto end = Clock::now() + duration;
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    engine.PollStream();
    if (afterPoll) afterPoll();
  }
}

// The known signal the probe plays: a fixed pseudo-random sample for every frame number,
// in -20000..20000, so that any stretch of a few frames tells where in the signal it came
// from.
int16_t ProbeSignal(int64_t frame) {
  uint64_t h = static_cast<uint64_t>(frame) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  return static_cast<int16_t>(static_cast<int64_t>(h % 40001) - 20000);
}

// What the probe recorded of the program's two outputs, as 16-bit samples, counted from
// the first frame it recorded; it began playing no earlier.
struct Heard {
  std::vector<int16_t> left, right;
};

Heard HeardBy(const TestJackClient& probe) {
  const auto frames = static_cast<size_t>(probe.RecordedFrames());
  Heard heard;
  for (size_t n = 0; n < frames; ++n) {
    heard.left.push_back(FloatToSample(probe.Recorded(0)[n]));
    heard.right.push_back(FloatToSample(probe.Recorded(1)[n]));
  }
  return heard;
}

// A stretch of the output that equals the input with the gains after one delay.
struct MatchedRun {
  int64_t start = 0;
  int64_t length = 0;
  int64_t delay = 0;
};

// Splits the recorded output from its first sound on into runs that match the probe's
// signal through the gains; frames that belong to no run of at least kMinRun are
// counted as unmatched.
struct Matching {
  std::vector<MatchedRun> runs;
  int64_t unmatched = 0;
};

Matching MatchOutput(const Heard& heard, double inGain, double outLeft, double outRight,
                     int64_t maxDelay) {
  constexpr int64_t kMinRun = 16;
  const int64_t total = static_cast<int64_t>(heard.left.size());
  auto matches = [&](int64_t n, int64_t delay) {
    if (n - delay < 0) return false;
    const double x = ProbeSignal(n - delay) * inGain;
    return heard.left[static_cast<size_t>(n)] == ClipRound(x * outLeft) &&
           heard.right[static_cast<size_t>(n)] == ClipRound(x * outRight);
  };
  auto runLength = [&](int64_t n, int64_t delay) {
    int64_t length = 0;
    while (n + length < total && matches(n + length, delay)) ++length;
    return length;
  };
  Matching result;
  int64_t n = 0;
  while (n < total && heard.left[static_cast<size_t>(n)] == 0) ++n;
  int64_t delay = -1;
  while (n < total) {
    int64_t length = delay >= 0 ? runLength(n, delay) : 0;
    if (length < kMinRun) {
      for (int64_t d = 0; d <= maxDelay && length < kMinRun; ++d) {
        if (!matches(n, d)) continue;
        length = runLength(n, d);
        if (length >= kMinRun) delay = d;
      }
    }
    if (length >= kMinRun) {
      result.runs.push_back({n, length, delay});
      n += length;
    } else {
      ++result.unmatched;
      ++n;
    }
  }
  return result;
}

TEST(JackStream, PlaysTheInputWithTheGainsSampleForSample) {
  SKIP_WITHOUT_JACK_SERVER();
  constexpr int32_t kSeconds = 5;
  constexpr int32_t kFrames = (kSeconds + 2) * 44100;
  TestJackClient probe("ampora-probe", 1, 2);
  ASSERT_TRUE(probe.ok()) << probe.Error() << ": " << std::getenv("JACK_DEFAULT_SERVER");
  // From before the stream opens, as a source that is already playing. Recording first:
  // the signal cannot start in an earlier cycle than the recording.
  probe.Record(kFrames);
  std::vector<float> signal(kFrames);
  for (int32_t n = 0; n < kFrames; ++n)
    signal[static_cast<size_t>(n)] = SampleToFloat(ProbeSignal(n));
  probe.Play({std::move(signal)});

  AudioDevices devices(DeviceConfig{"jack", "", "", true});
  ASSERT_EQ(devices.ApiName(), "jack");
  RecordingChain chain;
  StreamEngine engine(devices.WaveIn(), devices.WaveOut(), chain);
  engine.WaveDeviceId = {IdOf(devices, 1, "system"), IdOf(devices, 0, "system")};
  ASSERT_GE(engine.WaveDeviceId[0], 0);
  engine.BypassOn = 1;
  engine.Buffers().InGain = {0.5f, 1.0f};
  engine.Buffers().OutGain = {1.0f, 0.75f};
  engine.InitStream();
  engine.OpenStream();
  ASSERT_EQ(engine.StreamRunning(), 1);
  ASSERT_TRUE(probe.Connect(probe.OutputPort(0), probe.PortMatching("^ampora-in[^:]*:inport 0$")));
  ASSERT_TRUE(probe.Connect(probe.PortMatching("^ampora-out[^:]*:outport 0$"), probe.InputPort(0)));
  ASSERT_TRUE(probe.Connect(probe.PortMatching("^ampora-out[^:]*:outport 1$"), probe.InputPort(1)));

  HandledBlocks handled(engine);
  struct LagSample {
    Clock::time_point at;
    int64_t lag;
    int32_t lengthTrim;
  };
  std::vector<LagSample> lags;
  PollFor(engine, std::chrono::seconds(kSeconds), [&] {
    lags.push_back(
        {Clock::now(), int64_t{engine.LagAverage()} - engine.LengthTrim(), engine.LengthTrim()});
  });
  const Heard heard = HeardBy(probe);
  const int64_t captured = devices.WaveIn().PositionBytes() / 4;
  handled.Stop();
  const BlockLayout layout = engine.Layout();
  engine.CloseStream();

  // No block skipped or handled twice, and no completed block left behind.
  ASSERT_NO_FATAL_FAILURE(handled.ExpectEachOnceInOrder(layout.BlockCount));
  const int64_t handledFrames = static_cast<int64_t>(handled.blocks.size()) * layout.BlockLen;
  EXPECT_LE(handledFrames, captured);
  EXPECT_LT(captured - handledFrames, 4 * layout.BlockLen);

  // The lag settles inside the window.
  const LagSample& final = lags.back();
  EXPECT_GE(final.lag, layout.DelayMinFrames);
  EXPECT_LE(final.lag, layout.DelayMaxFrames);
  int32_t corrections = 0;
  int32_t lateCorrections = 0;
  for (size_t i = 1; i < lags.size(); ++i) {
    if (lags[i].lengthTrim == lags[i - 1].lengthTrim) continue;
    ++corrections;
    if (final.at - lags[i].at < std::chrono::seconds(1)) ++lateCorrections;
  }
  EXPECT_LE(lateCorrections, 2) << "still correcting in the last second";

  // The output is the input through the gains, sample for sample, after a delay that
  // changes only where a block was lengthened or shortened, or where the server lost a
  // cycle (an xrun: the dummy driver runs without real-time scheduling).
  const Matching m = MatchOutput(heard, 0.5, 1.0, 0.75, 3 * 44100);
  ASSERT_FALSE(m.runs.empty()) << "nothing of the input reached the output";
  int64_t matched = 0;
  int64_t longest = 0;
  for (const MatchedRun& r : m.runs) {
    matched += r.length;
    longest = std::max(longest, r.length);
  }
  std::cout << "streamed " << handled.blocks.size() << " blocks; " << m.runs.size()
            << " exact runs, longest " << longest << " frames, final delay " << m.runs.back().delay
            << " frames; " << m.unmatched << " frames unmatched; " << corrections
            << " corrections; final lag " << final.lag << "; " << probe.Xruns() << " xruns\n";
  EXPECT_GE(longest, 44100) << "not one second played exactly";
  EXPECT_GE(matched, 2 * 44100);
  EXPECT_LE(m.unmatched, 256 * probe.Xruns());
  EXPECT_LE(static_cast<int64_t>(m.runs.size()) - 1, corrections + probe.Xruns());
}

// Waits up to 10 s for done() to hold: a server runs a client, or tells of its own end,
// within a few periods.
bool HoldsWithin10s(const std::function<bool()>& done) {
  const auto giveUp = Clock::now() + std::chrono::seconds(10);
  while (!done() && Clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

// A start is made again while the server has not run its clients: a client tells that
// only once the server ran it, and not after it closed.
TEST(JackStream, AClientSaysRunOnlyOnceTheServerRanIt) {
  SKIP_WITHOUT_JACK_SERVER();
  for (const bool input : {true, false}) {
    SCOPED_TRACE(input ? "capture" : "playback");
    JackClientStream stream;
    std::string error;
    ASSERT_TRUE(stream.Open(
        "system", 2, input, "ampora-run-probe", JackServerRate(),
        [](void*, void*, unsigned int, double, unsigned int, void*) { return 0; }, nullptr, error))
        << error;
    EXPECT_FALSE(stream.HasRun()) << "opened, not started";
    ASSERT_TRUE(stream.Start(error)) << error;
    EXPECT_TRUE(HoldsWithin10s([&] { return stream.HasRun(); }));
    stream.Close();
    EXPECT_FALSE(stream.HasRun());
  }
}

TEST(JackMidi, PortsOfTheServerAreListed) {
  SKIP_WITHOUT_JACK_SERVER();
  TestJackClient client("ampora-midi-probe", 0, 0);
  ASSERT_TRUE(client.ok()) << client.Error();
  const std::string keys = client.AddMidiOutput("keys");
  ASSERT_EQ(keys, "ampora-midi-probe:keys");
  const std::vector<std::string> inputs = MidiPortNames(1);
  EXPECT_NE(std::find(inputs.begin(), inputs.end(), keys), inputs.end())
      << "listed: " << ::testing::PrintToString(inputs);
}

// A stream through the system ports of a server of the test's own, which the test may
// stop (under one name for the whole run: JACK reclaims the registry entry of a dead
// server only for the same name, and a server killed here must not use up one of its
// eight entries). The name follows the shared server's, so that two runs side by side
// do not stop each other's server.
struct OwnServerStream {
  static const std::string& Name() {
    static const std::string name = std::string(std::getenv("JACK_DEFAULT_SERVER")) + "-stop";
    return name;
  }

  OwnServerStream()
      : started(server.Start(Name(), 44100)),
        env("JACK_DEFAULT_SERVER", server.Name()),
        devices(DeviceConfig{"jack", "", "", true}),
        engine(devices.WaveIn(), devices.WaveOut(), chain) {}

  // Opens the stream and polls it for the given time; fails unless blocks went through.
  void Run(std::chrono::milliseconds duration) {
    ASSERT_TRUE(started && server.Running()) << server.Error();
    engine.WaveDeviceId = {IdOf(devices, 1, "system"), IdOf(devices, 0, "system")};
    ASSERT_GE(engine.WaveDeviceId[0], 0);
    engine.InitStream();
    engine.OpenStream();
    ASSERT_EQ(engine.StreamRunning(), 1);
    PollFor(engine, duration);
    ASSERT_GT(chain.starts.size(), 5u) << "streaming did not begin";
  }

  TestJackServer server;
  bool started;
  ScopedEnv env;
  AudioDevices devices;
  RecordingChain chain;
  StreamEngine engine;
};

TEST(JackStream, ServerStoppedMidStreamEndsTheStreamAndSaysSo) {
  SKIP_WITHOUT_JACK_SERVER();
  OwnServerStream stream;
  ASSERT_NO_FATAL_FAILURE(stream.Run(std::chrono::milliseconds(500)));
  StreamEngine& engine = stream.engine;

  MessageLog log;
  stream.server.Stop();
  // The timer goes on polling until a poll finds the devices lost: it ends the stream and
  // says so, once.
  PollFor(engine, std::chrono::seconds(1));
  EXPECT_EQ(engine.StreamRunning(), 0);
  ASSERT_EQ(log.messages.size(), 1u);
  EXPECT_EQ(log.messages[0].text, DeviceErrorText(kDeviceLost));

  // The next Start: close, re-initialise, open, which now fails and says why.
  engine.CloseStream();
  engine.InitStream();
  engine.OpenStream();
  EXPECT_EQ(engine.StreamRunning(), 0);
  ASSERT_EQ(log.messages.size(), 2u);
  EXPECT_EQ(log.messages[1].text, "no JACK server is running");
}

// The next Start closes the streams of a server that goes away while libjack is still
// taking their clients down (a second closer, as an audio library may start, deadlocks
// there): swept over the moment of the close after the server's process ended, for a
// server that is killed and one that shuts down (last, which leaves the registry clean).
TEST(JackStream, ClosingWhileTheServerGoesAwayNeitherCrashesNorHangs) {
  SKIP_WITHOUT_JACK_SERVER();
  for (const int signal : {SIGKILL, SIGTERM}) {
    for (const int delayMs : {0, 20}) {
      SCOPED_TRACE(testing::Message()
                   << "signal " << signal << ", close after " << delayMs << " ms");
      OwnServerStream stream;
      ASSERT_NO_FATAL_FAILURE(stream.Run(std::chrono::milliseconds(300)));
      stream.server.Stop(signal);
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      stream.engine.CloseStream();
      EXPECT_EQ(stream.engine.StreamRunning(), 0);
      EXPECT_EQ(stream.devices.WaveIn().PositionBytes(), 0) << "capture headers returned";
    }
  }
}

// A MIDI input on a server that stops: the service says so, and closing it first, as the
// program does before anything opens a client again, neither crashes nor hangs.
TEST(JackMidi, AnInputWhoseServerStopsIsLostAndCloses) {
  SKIP_WITHOUT_JACK_SERVER();
  for (const int signal : {SIGKILL, SIGTERM}) {
    SCOPED_TRACE(testing::Message() << "signal " << signal);
    TestJackServer server;
    ASSERT_TRUE(server.Start(OwnServerStream::Name(), 44100)) << server.Error();
    ScopedEnv env("JACK_DEFAULT_SERVER", server.Name());
    std::optional<TestJackClient> keys(std::in_place, "ampora-stop-keys", 0, 0);
    ASSERT_TRUE(keys->ok()) << keys->Error();
    const std::string source = keys->AddMidiOutput("keys");
    const std::vector<std::string> ports = MidiPortNames(1);
    ASSERT_NE(std::find(ports.begin(), ports.end(), source), ports.end());

    RtMidiInService service("jack");
    const MidiHandle handle = service.Open(
        source, [](void*, MidiHandle, uint32_t) {}, nullptr);
    ASSERT_NE(handle, 0u);
    EXPECT_FALSE(service.Running(handle)) << "opened, not started";
    service.Start(handle);
    EXPECT_TRUE(HoldsWithin10s([&] { return service.Running(handle); }));
    EXPECT_FALSE(service.Lost(handle));
    server.Stop(signal);
    keys.reset();
    EXPECT_TRUE(HoldsWithin10s([&] { return service.Lost(handle); }));
    service.Close(handle);
    EXPECT_EQ(service.Open(
                  source, [](void*, MidiHandle, uint32_t) {}, nullptr),
              0u)
        << "no server, no input";
  }
}

}  // namespace
}  // namespace ampora::test
