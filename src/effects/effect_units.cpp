#include "effects/effect_units.h"

namespace ampora {

// Plugging in a built effect is one line here, for example
//   units[kLimiter] = PlugIn<Limiter>();
// (plus its #include). Effects without a line are treated as off by the chain.
EffectUnitTable BuiltEffectUnits() {
  EffectUnitTable units;
  return units;
}

}  // namespace ampora
