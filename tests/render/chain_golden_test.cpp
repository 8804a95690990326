#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/offline_render.h"
#include "support/effect_harness.h"
#include "support/golden.h"
#include "support/signals.h"
#include "support/temp_folder.h"
#include "support/wav_files.h"

namespace ampora {
namespace {

// Every effect on, a few of them away from their defaults so that each one is heard
// (three equaliser bands, a fifth up with some direct sound, a longer echo), rendered
// as the renderer renders a bank: the default block length, a tail for the echoes and
// the reverb, a fixed seed.
constexpr const char* kEveryEffectOn =
    "[Current]\n"
    "LevelInL=0\nLevelInR=0\nLevelOutL=-3\nLevelOutR=-3\n"
    "Limiter-01=1\nCompressor-01=1\nEnhancer-01=1\nOverDrive-01=1\nDistortion-01=1\n"
    "Fuzz-01=1\nGraphicEQ-01=1\nPitchShift-01=1\nTremolo-01=1\nFlanger-01=1\nPhaser-01=1\n"
    "Chorus-01=1\nVibrato-01=1\nEcho-01=1\nDelay-01=1\nReverb-01=1\n"
    "GraphicEQ-06=6\nGraphicEQ-10=-4\nGraphicEQ-15=3\n"
    "PitchShift-02=7\nPitchShift-05=50\n"
    "Echo-02=250\n";

TEST(WholeChainGoldenTest, EveryEffectOnThroughTheRenderer) {
  test::TempFolder folder;
  RenderOptions options;
  options.input = folder.path() + "riff.wav";
  options.output = folder.path() + "out.wav";
  options.iniFile = folder.path() + "bank.ini";
  options.tailSeconds = 0.5;
  options.seed = 2024;
  test::WriteFileText(options.iniFile, kEveryEffectOn);
  std::vector<int16_t> riff = test::Pluck(82.41, 14000.0, 22050);
  const std::vector<int16_t> second = test::Pluck(123.47, 14000.0, 22050);
  riff.insert(riff.end(), second.begin(), second.end());
  test::WriteWav(options.input, test::StereoFrames(riff, riff), 44100, 1);

  RenderFile(options);
  const std::vector<Frame> out = test::ReadWav(options.output);
  ASSERT_EQ(out.size(), 44100u + 22050u);
  test::ExpectMatchesGolden("chain_every_effect_seed2024", test::Interleaved(out));
}

}  // namespace
}  // namespace ampora
