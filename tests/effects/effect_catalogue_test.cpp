#include "effects/effect_catalogue.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "effects/db_to_gain.h"

namespace ampora {
namespace {

TEST(EffectCatalogue, ResetGivesEveryEffectOffWithItsDefaults) {
  FxParamTable fx;
  fx.fill(7);
  ResetEffectParams(fx);
  for (int e = 0; e < kEffectCount; ++e) EXPECT_EQ(fx[FxIndex(e, 0)], 0) << e;
  EXPECT_EQ(fx[16 + 7], 0);          // PitchShift row 1
  EXPECT_EQ(fx[256 + 0], kNoParam);  // Limiter row 16
  EXPECT_EQ(fx[FxIndex(kLimiter, 2)], 200);
  EXPECT_EQ(fx[FxIndex(kLimiter, 5)], kNoParam);
  EXPECT_EQ(fx[FxIndex(kReverb, 5)], 30);
  EXPECT_EQ(fx[FxIndex(kReverb, 6)], 50);
  EXPECT_EQ(fx[FxIndex(kReverb, 7)], kNoParam);
  EXPECT_EQ(fx[FxIndex(kDelay, 1)], 60);
  EXPECT_EQ(fx[FxIndex(kEcho, 1)], 100);
  for (int row = 1; row <= 15; ++row) EXPECT_EQ(fx[FxIndex(kGraphicEq, row)], 0) << row;
  EXPECT_EQ(fx[FxIndex(kGraphicEq, 16)], 100);
  for (int e = 0; e < kEffectCount; ++e) {
    if (e == kGraphicEq) continue;
    for (int row = 7; row < kParamRows; ++row) EXPECT_EQ(fx[FxIndex(e, row)], kNoParam);
  }
}

TEST(EffectCatalogue, TableIsConsistent) {
  std::set<std::string_view> buttons;
  int paramTotal = 0;
  for (int e = 0; e < kEffectCount; ++e) {
    const EffectSpec& effect = kEffectCatalogue[e];
    SCOPED_TRACE(effect.name);
    EXPECT_EQ(FxName[e], effect.name);
    EXPECT_EQ(effect.ring, e + 1);
    EXPECT_EQ(effect.button.size(), 2u);
    buttons.insert(effect.button);
    paramTotal += effect.paramCount;
    for (int p = 0; p < kMaxParams; ++p) {
      const ParamSpec& param = effect.params[p];
      if (p >= effect.paramCount) {
        EXPECT_TRUE(param.label.empty());
        continue;
      }
      EXPECT_FALSE(param.label.empty());
      EXPECT_LE(param.min, param.defaultValue);
      EXPECT_LE(param.defaultValue, param.max);
      EXPECT_NE(param.defaultValue, kNoParam);
    }
  }
  EXPECT_EQ(buttons.size(), size_t{kEffectCount});
  EXPECT_EQ(paramTotal, 65);  // the parameter keys of a saved bank
  EXPECT_EQ(FxName[kLimiter], "Limiter");
  EXPECT_EQ(FxName[kGraphicEq], "GraphicEQ");
  EXPECT_EQ(FxName[kReverb], "Reverb");
  EXPECT_EQ(kEffectCatalogue[kGraphicEq].params[9].label, "1.6k");
  EXPECT_EQ(kEffectCatalogue[kDelay].params[0].label, "L遅延");
  EXPECT_EQ(kEffectCatalogue[kReverb].params[1].label, "Hiカット");
}

TEST(DbToGain, IsTenToTheDbOverTwentyAsAFloatAndZeroAtOrBelowMinus110) {
  EXPECT_EQ(DbToGain(0.0f), 1.0f);
  EXPECT_EQ(DbToGain(20.0f), 10.0f);
  EXPECT_EQ(DbToGain(5.0f), 1.7782794f);
  EXPECT_EQ(DbToGain(-50.0f), 0.0031622776f);
  EXPECT_EQ(DbToGain(-110.0f), 0.0f);
  EXPECT_EQ(DbToGain(-1e9f), 0.0f);
  EXPECT_GT(DbToGain(-109.9f), 0.0f);
  EXPECT_EQ(DbToGain(1000.0f), std::numeric_limits<float>::infinity());
}

}  // namespace
}  // namespace ampora
