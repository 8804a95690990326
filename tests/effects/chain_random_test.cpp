#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "audio/stream_buffers.h"
#include "effects/effect_catalogue.h"
#include "effects/effect_chain.h"
#include "effects/effect_test_helpers.h"
#include "effects/reverb.h"
#include "support/effect_harness.h"

// The whole chain under random settings: every effect at once, with parameters in, near
// and far outside the editor's ranges, on random input. Nothing may crash, hang or touch
// memory outside the rings (the sanitizer build watches), and an error only abandons the
// pass it happens in.

namespace ampora {
namespace {

// Never stored by the chain (samples are clipped to -32767..32767).
constexpr int16_t kUnwritten = -32768;

class ChainRandomTest : public ::testing::Test {
 protected:
  ChainRandomTest() {
    chain.InitEffectTables();
    chain.FindUnit<Reverb>(kReverb)->UseRandomSource(std::make_unique<TwisterRandom>(9));
  }

  // A random setting: every effect mostly on (sometimes off or at another row 0 value),
  // half of them with every parameter drawn and the others at their defaults (so that
  // passes often get past the first effects to the last ones), the reseed flags at
  // random.
  void DrawSetting() {
    for (int e = 0; e < kEffectCount; ++e) {
      const int onOff = std::uniform_int_distribution<int>(0, 9)(rng);
      chain.FxParam[FxIndex(e, 0)] = onOff < 8 ? kEffectOn : (onOff == 8 ? 0 : 2);
      const EffectSpec& effect = kEffectCatalogue[e];
      const bool drawn = std::bernoulli_distribution(0.5)(rng);
      for (int p = 0; p < effect.paramCount; ++p) {
        const ParamSpec& param = effect.params[p];
        chain.FxParam[FxIndex(e, p + 1)] =
            drawn ? test::DrawParameter(rng, param.min, param.max) : param.defaultValue;
      }
      chain.FxResync[e] = std::bernoulli_distribution(0.2)(rng);
      chain.ApplyEffectParams(e);
    }
  }

  // Every effect on at settings the editor allows: the defaults, with every equaliser
  // band active.
  void UseEditorSetting() {
    chain.FxParam = test::EveryEffectOnParams();
    for (int band = 1; band <= 15; ++band) chain.FxParam[FxIndex(kGraphicEq, band)] = 6;
    for (int e = 0; e < kEffectCount; ++e) chain.ApplyEffectParams(e);
  }

  void FillCapture() {
    input.resize(static_cast<size_t>(stream.RingLen));
    test::FillRandomInput(rng, input);
    for (int32_t i = 0; i < stream.RingLen; ++i) stream.CaptureRing[i] = Frame{input[i], input[i]};
  }

  // One pass over a random block. The play ring changes only inside the block, and a
  // completed pass has written every frame of it. Returns whether it completed.
  bool CheckedPass(const std::string& label) {
    const int32_t start =
        std::uniform_int_distribution<int32_t>(0, stream.BlockCount - 1)(rng) * stream.BlockLen;
    const int32_t end = start + stream.BlockLen - 1;
    std::fill(stream.PlayRing.begin(), stream.PlayRing.end(), Frame{kUnwritten, kUnwritten});
    const bool completed = chain.ProcessBlock(start, end) == 1;
    int32_t stray = -1;
    for (int32_t i = 0; i < stream.RingLen && stray < 0; ++i) {
      const Frame f = stream.PlayRing[i];
      const bool inside = i >= start && i <= end;
      const bool unwritten = f.left == kUnwritten || f.right == kUnwritten;
      if ((!inside && !(f.left == kUnwritten && f.right == kUnwritten)) ||
          (inside && completed && unwritten)) {
        stray = i;
      }
    }
    EXPECT_EQ(stray, -1) << label << ", block " << start << ".." << end;
    return completed;
  }

  std::mt19937 rng{20241208};
  StreamBuffers stream;
  EffectChain chain{stream};
  std::vector<int16_t> input;
};

// Small rings of a new size now and then (the effects keep their positions from rings
// of other sizes), sized exactly so that the sanitizer sees any stray index.
TEST_F(ChainRandomTest, AnySettingOnSmallRingsStaysInsideAndOnlyAbandonsItsPass) {
  constexpr int kSets = 100000;
  int completed = 0;
  for (int set = 0; set < kSets && !HasFailure(); ++set) {
    if (set % 64 == 0) {
      AllocateRings(stream, std::uniform_int_distribution<int32_t>(1, 64)(rng),
                    std::uniform_int_distribution<int32_t>(1, 4)(rng));
    }
    FillCapture();
    DrawSetting();
    if (CheckedPass("set " + std::to_string(set))) {
      ++completed;
    } else if (set % 16 == 0) {
      // What stopped that pass does not stop the chain: a setting of the editor runs.
      UseEditorSetting();
      EXPECT_TRUE(CheckedPass("editor setting after set " + std::to_string(set)));
    }
  }
  // Settings near the editor's ranges complete; the count shows the test reaches the
  // effects rather than stopping at the first error.
  EXPECT_GT(completed, kSets / 4);
}

// The live ring size (309-frame blocks, 428 blocks), several blocks per setting.
TEST_F(ChainRandomTest, AnySettingOnTheLiveRingsStaysInside) {
  AllocateRings(stream, 309, 428);
  FillCapture();
  for (int set = 0; set < 100 && !HasFailure(); ++set) {
    DrawSetting();
    for (int pass = 0; pass < 4; ++pass) CheckedPass("set " + std::to_string(set));
  }
  UseEditorSetting();
  EXPECT_TRUE(CheckedPass("editor setting"));
}

}  // namespace
}  // namespace ampora
