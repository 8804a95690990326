#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/devices/audio_devices.h"
#include "audio/devices/generated_inputs.h"
#include "audio/devices/wav_file_input.h"
#include "audio/stream_format.h"
#include "engine_rig.h"
#include "support/signals.h"
#include "support/wav_files.h"

// The stream at the rates of real devices: what the engine lays out and what the built-in
// devices make at each rate.

namespace ampora::test {
namespace {

TEST(StreamRates, BlocksRingsAndTheLagWindowKeepTheirTimes) {
  struct Case {
    int32_t rate;
    int32_t blockLen, blockCount, minFrames, maxFrames, tunerBlockCount;
  };
  // BufferMS 7 and the window 20..70 ms; in tuner mode blocks of 2048 frames.
  const Case cases[] = {
      {22050, 154, 429, 441, 1544, 32},      {44100, 309, 428, 882, 3087, 64},
      {48000, 336, 428, 960, 3360, 70},      {96000, 672, 428, 1920, 6720, 140},
      {192000, 1344, 428, 3840, 13440, 281},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    EngineRig rig;
    rig.engine.SampleRate = c.rate;
    rig.engine.InitStream();
    const BlockLayout layout = rig.engine.Layout();
    EXPECT_EQ(layout.SampleRate, c.rate);
    EXPECT_EQ(layout.BlockLen, c.blockLen);
    EXPECT_EQ(layout.BlockCount, c.blockCount);
    EXPECT_EQ(layout.RingLen, c.blockLen * c.blockCount);
    EXPECT_EQ(layout.DelayMinFrames, c.minFrames);
    EXPECT_EQ(layout.DelayMaxFrames, c.maxFrames);
    rig.engine.TunerOn = 1;
    rig.engine.InitStream();
    EXPECT_EQ(rig.engine.Layout().BlockCount, c.tunerBlockCount);
  }
}

// The built-in devices run at the stream's rate: a second of capture is a second of it.
TEST(StreamRates, TheBuiltinDevicesStreamAtTheRate) {
  EngineRig rig;
  rig.engine.SampleRate = 48000;
  rig.Start(kTestToneIn, kNullOut);
  ASSERT_EQ(rig.BlockLen(), 336);
  rig.Advance(48000);
  rig.engine.PollStream();
  EXPECT_EQ(rig.engine.Counts().blocksHandled, 48000 / 336);
  EXPECT_EQ(rig.devices.WaveIn().PositionBytes(), 48000 * BlockAlign);
}

TEST(StreamRates, ARateTheProgramCannotStreamAtIsRefusedByName) {
  for (const int32_t rate : {0, 8000, 22049, 192001, 384000}) {
    SCOPED_TRACE(rate);
    MessageLog log;
    EngineRig rig;
    rig.engine.SampleRate = rate;
    rig.engine.InitStream();
    EXPECT_GT(rig.engine.Layout().BlockLen, 0) << "the rings are laid out all the same";
    rig.engine.OpenStream();
    EXPECT_EQ(rig.engine.StreamRunning(), 0);
    ASSERT_EQ(log.messages.size(), 1u);
    const std::string& text = log.messages[0].text;
    std::string named = " ";
    named.append(std::to_string(rate)).append(" Hz");
    EXPECT_NE(text.find(named), std::string::npos) << text;
    EXPECT_NE(text.find("22050"), std::string::npos) << text;
    EXPECT_NE(text.find("192000"), std::string::npos) << text;
    rig.Advance(5000);
    EXPECT_EQ(rig.devices.WaveIn().PositionBytes(), 0) << "no device was opened";
  }
}

TEST(StreamRates, TheBuiltinInputsAreMadeAtTheRate) {
  for (const int32_t rate : {22050, 48000, 96000}) {
    SCOPED_TRACE(rate);
    // 18 eighth notes at 120 beats a minute.
    EXPECT_EQ(DemoGuitarRiff(rate).size(), static_cast<size_t>(rate / 4 * 18));
    const std::vector<Frame> tone = TestTone(rate);
    ASSERT_EQ(tone.size(), static_cast<size_t>(rate));
    int rising = 0;
    for (size_t i = 1; i < tone.size(); ++i) rising += tone[i - 1].left < 0 && tone[i].left >= 0;
    EXPECT_EQ(rising, 439) << "440 periods a second";

    // A file at 44100 keeps its duration.
    const std::string path = TempFilePath("at-44100.wav");
    const std::vector<int16_t> second = Sine(441.0, 10000.0, 44100);
    WriteWav(path, StereoFrames(second, second));
    std::vector<Frame> frames;
    std::string error;
    ASSERT_TRUE(LoadWavFile(path, rate, frames, error)) << error;
    EXPECT_NEAR(static_cast<double>(frames.size()), rate, 2.0);
  }
}

TEST(StreamRates, TheRecorderWritesTheRate) {
  ManualClock clock;
  const std::string path = TempFilePath("recorded-96k.wav");
  AudioDevices devices(DeviceConfig{"", "", path, false}, &clock);
  ASSERT_EQ(devices.WaveOut().Open(kRecorderOut, StreamWaveFormat(96000)), kDeviceOk);
  std::vector<Frame> ring(1000, Frame{1234, -1234});
  WaveHeader header{ring.data(), 1000 * BlockAlign};
  devices.WaveOut().Write(&header);
  clock.Advance(1000);
  devices.WaveOut().Close();
  const std::vector<Frame> recorded = ReadWav(path, 96000);
  ASSERT_EQ(recorded.size(), 1000u);
  EXPECT_EQ(recorded[999].right, -1234);
}

// Without real devices nothing decides otherwise: 44100, whatever the ids.
TEST(StreamRates, TheBuiltinDevicesAloneStreamAt44100) {
  ManualClock clock;
  AudioDevices devices(DeviceConfig{"", "", "", false}, &clock);
  for (const int32_t id : {kDefaultDevice, 0, 3, 42}) {
    EXPECT_EQ(devices.StreamRate(id, kDefaultDevice), 44100);
    EXPECT_EQ(devices.StreamRate(kDefaultDevice, id), 44100);
  }
}

}  // namespace
}  // namespace ampora::test
