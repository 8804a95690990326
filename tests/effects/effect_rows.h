#pragma once

#include <cstdint>
#include <initializer_list>

#include "effects/effect_catalogue.h"
#include "effects/fx_param.h"

namespace ampora::test {

// A parameter table with one effect switched on and its rows 1, 2, ... set to the
// given values; every other row holds kNoParam.
inline FxParamTable EffectRows(EffectIndex effect, std::initializer_list<int32_t> rows) {
  FxParamTable fx;
  fx.fill(kNoParam);
  fx[FxIndex(effect, 0)] = kEffectOn;
  int row = 1;
  for (int32_t value : rows) fx[FxIndex(effect, row++)] = value;
  return fx;
}

// The default setting with one effect switched on.
inline FxParamTable DefaultRows(EffectIndex effect) {
  FxParamTable fx;
  ResetEffectParams(fx);
  fx[FxIndex(effect, 0)] = kEffectOn;
  return fx;
}

}  // namespace ampora::test
