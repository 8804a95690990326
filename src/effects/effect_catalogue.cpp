#include "effects/effect_catalogue.h"

namespace ampora {

void ResetEffectParams(FxParamTable& fx) {
  fx.fill(kNoParam);
  for (int e = 0; e < kEffectCount; ++e) {
    const EffectSpec& effect = kEffectCatalogue[e];
    fx[FxIndex(e, 0)] = 0;
    for (int p = 0; p < effect.paramCount; ++p)
      fx[FxIndex(e, p + 1)] = effect.params[p].defaultValue;
  }
}

}  // namespace ampora
