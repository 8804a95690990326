#include "effects/effect_units.h"

#include "effects/graphic_eq.h"
#include "effects/pitch_shift.h"

namespace ampora {

// Plugging in a built effect is one line here, for example
//   units[kLimiter] = PlugIn<Limiter>();
// (plus its #include). Effects without a line are treated as off by the chain.
EffectUnitTable BuiltEffectUnits() {
  EffectUnitTable units;
  units[kGraphicEq] = PlugIn<GraphicEq>();
  units[kPitchShift] = PlugIn<PitchShift>();
  return units;
}

}  // namespace ampora
