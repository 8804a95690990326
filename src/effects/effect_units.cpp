#include "effects/effect_units.h"

#include "effects/drive.h"
#include "effects/dynamics.h"
#include "effects/graphic_eq.h"
#include "effects/pitch_shift.h"

namespace ampora {

// Plugging in a built effect is one line here, for example
//   units[kLimiter] = PlugIn<Limiter>();
// (plus its #include). Effects without a line are treated as off by the chain.
EffectUnitTable BuiltEffectUnits() {
  EffectUnitTable units;
  units[kLimiter] = PlugIn<Limiter>();
  units[kCompressor] = PlugIn<Compressor>();
  units[kEnhancer] = PlugIn<Enhancer>();
  units[kOverDrive] = PlugIn<OverDrive>();
  units[kDistortion] = PlugIn<Distortion>();
  units[kFuzz] = PlugIn<Fuzz>();
  units[kGraphicEq] = PlugIn<GraphicEq>();
  units[kPitchShift] = PlugIn<PitchShift>();
  return units;
}

}  // namespace ampora
