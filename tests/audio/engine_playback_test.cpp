#include <gtest/gtest.h>

#include "audio/stream_format.h"
#include "engine_rig.h"
#include "support/signals.h"
#include "support/wav_files.h"
#include "util/rounding.h"

namespace ampora::test {
namespace {

// Streams a WAV file through the bypass into the WAV recorder, one block per tick, and
// checks that what was played is each block with the gains, as long as its header said:
// a shortened block plays its first part only, a lengthened one is followed by the first
// frames of the next block.
void ExpectPlayedAsWritten(float delayMinMs, float delayMaxMs, int32_t expectedFirstTrim) {
  const std::string input = TempFilePath("playback-in.wav");
  const std::string output = TempFilePath("playback-out.wav");
  const std::vector<int16_t> left = Noise(30000, 5000, 3);
  WriteWav(input, StereoFrames(left, Noise(30000, 5000, 4)));

  std::vector<int32_t> trims;
  {
    EngineRig rig(nullptr, DeviceConfig{"", input, output, false});
    rig.engine.BypassOn = 1;
    rig.engine.DelayMinMS = delayMinMs;
    rig.engine.DelayMaxMS = delayMaxMs;
    rig.engine.Buffers().InGain = {0.7f, 9.0f};
    rig.engine.Buffers().OutGain = {1.25f, 0.5f};
    rig.Start(kWavFileIn, kRecorderOut);
    for (int32_t k = 0; k < 60; ++k) {
      rig.Advance(rig.BlockLen());
      ASSERT_EQ(rig.engine.PollStream(), k);
      trims.push_back(rig.engine.PlayHeader(k).byteLength / BlockAlign - rig.BlockLen());
    }
  }
  ASSERT_EQ(trims[0], expectedFirstTrim);

  const int32_t blockLen = 309;
  auto played = [&](int32_t block, int32_t i) {
    const double x = left[static_cast<size_t>((block * blockLen + i) % 5000)] * double{0.7f};
    return Frame{ClipRound(x * double{1.25f}), ClipRound(x * double{0.5f})};
  };
  std::vector<Frame> expected;
  for (int32_t k = 0; k + 1 < static_cast<int32_t>(trims.size()); ++k) {
    for (int32_t i = 0; i < blockLen + std::min(trims[k], 0); ++i) expected.push_back(played(k, i));
    for (int32_t i = 0; i < trims[k]; ++i) expected.push_back(played(k + 1, i));
  }
  const std::vector<Frame> recorded = ReadWav(output);
  ASSERT_GE(recorded.size(), 50u * 155);
  ASSERT_LE(recorded.size(), expected.size() + blockLen);
  for (size_t i = 0; i < std::min(recorded.size(), expected.size()); ++i) {
    ASSERT_EQ(recorded[i].left, expected[i].left) << "frame " << i;
    ASSERT_EQ(recorded[i].right, expected[i].right) << "frame " << i;
  }
}

TEST(EnginePlayback, LengthenedBlocksRepeatTheStartOfTheNextBlock) {
  ExpectPlayedAsWritten(20.0f, 70.0f, 31);
}

TEST(EnginePlayback, ShortenedBlocksDropTheirSecondHalf) {
  ExpectPlayedAsWritten(1.0f, 2.0f, -154);
}

}  // namespace
}  // namespace ampora::test
