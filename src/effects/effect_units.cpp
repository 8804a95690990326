#include "effects/effect_units.h"

#include "effects/drive.h"
#include "effects/dynamics.h"

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
  return units;
}

}  // namespace ampora
