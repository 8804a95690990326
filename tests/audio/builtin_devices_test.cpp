#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <limits>
#include <thread>

#include "audio/devices/audio_devices.h"
#include "audio/devices/generated_inputs.h"
#include "audio/devices/sample_conversion.h"
#include "audio/devices/wav_file_input.h"
#include "audio/stream_format.h"
#include "engine_rig.h"
#include "support/signals.h"
#include "support/wav_files.h"

namespace ampora::test {
namespace {

int PeakOf(const std::vector<Frame>& frames) {
  int peak = 0;
  for (const Frame& f : frames) peak = std::max(peak, std::abs(static_cast<int>(f.left)));
  return peak;
}

// Captures frames from the open input through queued headers of one ring.
std::vector<Frame> CaptureFrames(WaveInDevice& input, ManualClock& clock, int32_t frames) {
  std::vector<Frame> ring(static_cast<size_t>(frames));
  WaveHeader header{ring.data(), frames * BlockAlign};
  input.Queue(&header);
  input.Start();
  clock.Advance(frames);
  EXPECT_TRUE(header.IsDone());
  return ring;
}

TEST(SampleConversion, SixteenBitValuesCrossUnchangedAndWildFloatsClip) {
  for (int s = -32768; s <= 32767; ++s) {
    ASSERT_EQ(FloatToSample(SampleToFloat(static_cast<int16_t>(s))), s);
  }
  EXPECT_EQ(FloatToSample(1.5f), 32767);
  EXPECT_EQ(FloatToSample(-1.5f), -32768);
  EXPECT_EQ(FloatToSample(1e30f), 32767);
  EXPECT_EQ(FloatToSample(-std::numeric_limits<float>::infinity()), -32768);
  EXPECT_EQ(FloatToSample(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(FloatToSample(0.99999f), 32767);
}

TEST(GeneratedInputs, RiffAndToneLoopAtMinusTwelveDecibels) {
  const std::vector<Frame> riff = DemoGuitarRiff(kDefaultSampleRate);
  EXPECT_EQ(riff.size(), 18u * 44100 / 4);
  EXPECT_NEAR(PeakOf(riff), 8231, 1);  // 32767 x 10^(-12/20)
  EXPECT_TRUE(
      std::all_of(riff.begin(), riff.end(), [](const Frame& f) { return f.left == f.right; }));
  EXPECT_LT(std::abs(riff.back().left), 100) << "the riff fades out before it repeats";
  EXPECT_EQ(DemoGuitarRiff(kDefaultSampleRate)[12345].left, riff[12345].left)
      << "the same on every run";

  const std::vector<Frame> tone = TestTone(kDefaultSampleRate);
  ASSERT_EQ(tone.size(), 44100u);
  EXPECT_LE(PeakOf(tone), 8231);
  EXPECT_GE(PeakOf(tone), 8200);
  EXPECT_EQ(tone[0].left, 0);
  int crossings = 0;
  for (size_t i = 1; i < tone.size(); ++i)
    crossings += (tone[i - 1].left < 0) != (tone[i].left < 0);
  EXPECT_NEAR(crossings, 880, 2);
}

TEST(GeneratedInputs, StringPeriodsRoundHalfToEven) {
  EXPECT_EQ(StringPeriodFrames(440.0, kDefaultSampleRate), 100u);     // 100.23
  EXPECT_EQ(StringPeriodFrames(82.40689, kDefaultSampleRate), 535u);  // low E, 535.15
  EXPECT_EQ(StringPeriodFrames(17640.0, kDefaultSampleRate), 2u);     // 2.5
  EXPECT_EQ(StringPeriodFrames(12600.0, kDefaultSampleRate), 4u);     // 3.5
}

TEST(WavFileInput, SixteenBitFileArrivesSampleForSample) {
  std::vector<int16_t> left(65536), right(65536);
  for (int i = 0; i < 65536; ++i) {
    left[static_cast<size_t>(i)] = static_cast<int16_t>(i - 32768);
    right[static_cast<size_t>(i)] = static_cast<int16_t>(32767 - i);
  }
  const std::string path = TempFilePath("every-value.wav");
  WriteWav(path, StereoFrames(left, right));
  std::vector<Frame> frames;
  std::string error;
  ASSERT_TRUE(LoadWavFile(path, kDefaultSampleRate, frames, error)) << error;
  ASSERT_EQ(frames.size(), 65536u);
  for (size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i].left, left[i]);
    ASSERT_EQ(frames[i].right, right[i]);
  }
}

TEST(WavFileInput, MonoGoesToBothChannelsAndOtherRatesAreConverted) {
  const std::vector<int16_t> sine = Sine(1000.0, 10000.0, 48000);
  const std::string mono = TempFilePath("mono.wav");
  WriteWav(mono, StereoFrames(sine, sine), 44100, 1);
  std::vector<Frame> frames;
  std::string error;
  ASSERT_TRUE(LoadWavFile(mono, kDefaultSampleRate, frames, error)) << error;
  EXPECT_EQ(frames[100].left, sine[100]);
  EXPECT_EQ(frames[100].right, sine[100]);

  const std::string fast = TempFilePath("48k.wav");
  WriteWav(fast, StereoFrames(sine, sine), 48000);
  ASSERT_TRUE(LoadWavFile(fast, kDefaultSampleRate, frames, error)) << error;
  EXPECT_NEAR(static_cast<double>(frames.size()), 44100.0, 2.0);
  int crossings = 0;
  for (size_t i = 1; i < frames.size(); ++i)
    crossings += (frames[i - 1].left < 0) != (frames[i].left < 0);
  // The file holds 1000 x 48000 / 44100 Hz; its pitch is kept.
  EXPECT_NEAR(crossings, 2177, 4);
}

TEST(WavFileInput, UnusableFilesAreRefusedWithAReason) {
  std::vector<Frame> frames;
  std::string error;
  EXPECT_FALSE(LoadWavFile("", kDefaultSampleRate, frames, error));
  EXPECT_EQ(error, "WAVファイルが設定されていません。");
  const std::string missing = TempFilePath("no-such-file.wav");
  EXPECT_FALSE(LoadWavFile(missing, kDefaultSampleRate, frames, error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  const std::string text = TempFilePath("not-sound.wav");
  std::ofstream(text) << "RIFF but not really a sound file";
  EXPECT_FALSE(LoadWavFile(text, kDefaultSampleRate, frames, error));
}

TEST(BuiltinDevices, InputsCaptureTheirSignalsLooped) {
  ManualClock clock;
  const std::string path = TempFilePath("short-loop.wav");
  const std::vector<int16_t> noise = Noise(20000, 1000);
  WriteWav(path, StereoFrames(noise, noise));
  AudioDevices devices(DeviceConfig{"", path, "", false}, &clock);
  WaveInDevice& input = devices.WaveIn();

  ASSERT_EQ(input.Open(kTestToneIn, StreamWaveFormat()), kDeviceOk);
  const std::vector<Frame> tone = CaptureFrames(input, clock, 44100 + 50);
  const std::vector<Frame> expected = TestTone(kDefaultSampleRate);
  for (size_t i = 0; i < tone.size(); ++i) ASSERT_EQ(tone[i].left, expected[i % 44100].left) << i;

  ASSERT_EQ(input.Open(kWavFileIn, StreamWaveFormat()), kDeviceOk);
  const std::vector<Frame> file = CaptureFrames(input, clock, 2500);
  for (size_t i = 0; i < file.size(); ++i) ASSERT_EQ(file[i].left, noise[i % 1000]) << i;

  ASSERT_EQ(input.Open(kSilenceIn, StreamWaveFormat()), kDeviceOk);
  const std::vector<Frame> silence = CaptureFrames(input, clock, 600);
  EXPECT_EQ(PeakOf(silence), 0);

  const std::string emptyPath = TempFilePath("empty.wav");
  WriteWav(emptyPath, {});
  AudioDevices emptyFile(DeviceConfig{"", emptyPath, "", false}, &clock);
  ASSERT_EQ(emptyFile.WaveIn().Open(kWavFileIn, StreamWaveFormat()), kDeviceOk);
  EXPECT_EQ(PeakOf(CaptureFrames(emptyFile.WaveIn(), clock, 600)), 0) << "an empty file is silence";
  emptyFile.WaveIn().Close();

  // The default device of a machine without real devices is the first built-in one.
  ASSERT_EQ(input.Open(kDefaultDevice, StreamWaveFormat()), kDeviceOk);
  EXPECT_EQ(CaptureFrames(input, clock, 300)[299].left,
            DemoGuitarRiff(kDefaultSampleRate)[299].left);
  input.Close();
}

TEST(BuiltinDevices, ListsAndIdsWithoutRealDevices) {
  ManualClock clock;
  AudioDevices devices(DeviceConfig{"", "", "", false}, &clock);
  EXPECT_EQ(devices.Names(1),
            (std::vector<std::string>{"demo guitar", "test tone", "silence", "WAV file"}));
  EXPECT_EQ(devices.Names(0), (std::vector<std::string>{"null", "WAV recorder"}));
  EXPECT_EQ(devices.ApiName(), "");
  EXPECT_EQ(devices.WaveIn().Open(4, StreamWaveFormat()), kDeviceBadId);
  EXPECT_EQ(devices.WaveIn().Open(-7, StreamWaveFormat()), kDeviceBadId);
  EXPECT_EQ(devices.WaveOut().Open(2, StreamWaveFormat()), kDeviceBadId);
  WaveFormat mono = StreamWaveFormat();
  mono.channels = 1;
  EXPECT_EQ(devices.WaveOut().Open(kNullOut, mono), kDeviceBadFormat);
  EXPECT_EQ(devices.WaveOut().ErrorText(kDeviceBadFormat), DeviceErrorText(kDeviceBadFormat));
  EXPECT_EQ(devices.WaveOut().Open(kDefaultDevice, StreamWaveFormat()), kDeviceOk);
}

TEST(BuiltinDevices, RecorderWritesWhatIsPlayed) {
  ManualClock clock;
  const std::string path = TempFilePath("recorded.wav");
  AudioDevices devices(DeviceConfig{"", "", path, false}, &clock);
  WaveOutDevice& output = devices.WaveOut();
  ASSERT_EQ(output.Open(kRecorderOut, StreamWaveFormat()), kDeviceOk);
  clock.Advance(500);  // silence before the first write is not recorded
  const std::vector<int16_t> noise = Noise(32767, 3000, 9);
  std::vector<Frame> ring = StereoFrames(noise, Noise(32767, 3000, 10));
  WaveHeader first{ring.data(), 1000 * BlockAlign};
  WaveHeader second{ring.data() + 1000, 2000 * BlockAlign};
  output.Write(&first);
  output.Write(&second);
  clock.Advance(2500);
  EXPECT_TRUE(first.IsDone());
  EXPECT_FALSE(second.IsDone());
  EXPECT_EQ(output.PositionBytes(), 2500 * BlockAlign);
  output.Close();
  EXPECT_TRUE(second.IsDone()) << "returned at close";
  const std::vector<Frame> recorded = ReadWav(path);
  ASSERT_EQ(recorded.size(), 2500u);
  for (size_t i = 0; i < recorded.size(); ++i) {
    ASSERT_EQ(recorded[i].left, ring[i].left) << i;
    ASSERT_EQ(recorded[i].right, ring[i].right) << i;
  }

  AudioDevices nowhere(DeviceConfig{"", "", TempFilePath("missing-folder/x.wav"), false}, &clock);
  EXPECT_EQ(nowhere.WaveOut().Open(kRecorderOut, StreamWaveFormat()), kDeviceFailed);
  EXPECT_NE(nowhere.WaveOut().ErrorText(kDeviceFailed).find("missing-folder/x.wav"),
            std::string::npos);
}

// No sound card, no audio server: the built-in devices stream in real time.
TEST(BuiltinDevices, StreamInRealTimeWithoutAnyRealDevice) {
  RecordingChain chain;
  AudioDevices devices(DeviceConfig{"", "", "", false});
  StreamEngine engine(devices.WaveIn(), devices.WaveOut(), chain);
  engine.BypassOn = 1;
  engine.WaveDeviceId = {kDemoGuitarIn, kNullOut};
  engine.InitStream();
  engine.OpenStream();
  ASSERT_EQ(engine.StreamRunning(), 1);
  int32_t handled = 0;
  int32_t last = -1;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (handled < 30 && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const int32_t k = engine.PollStream();
    if (k != -1) {
      handled += (k - last + engine.Layout().BlockCount) % engine.Layout().BlockCount;
      last = k;
    }
  }
  EXPECT_GE(handled, 30);
  EXPECT_GT(devices.WaveOut().PositionBytes(), 0);
  const std::vector<Frame>& played = engine.Buffers().PlayRing;
  EXPECT_TRUE(
      std::any_of(played.begin(), played.end(), [](const Frame& f) { return f.left != 0; }));
  engine.CloseStream();
}

}  // namespace
}  // namespace ampora::test
