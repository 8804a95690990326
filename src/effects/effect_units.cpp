#include "effects/effect_units.h"

#include "effects/delay.h"
#include "effects/drive.h"
#include "effects/dynamics.h"
#include "effects/echo.h"
#include "effects/graphic_eq.h"
#include "effects/pitch_shift.h"
#include "effects/reverb.h"
#include "effects/sweep_effect.h"
#include "effects/tremolo.h"

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
  units[kTremolo] = PlugIn<Tremolo>();
  for (const SweepShape* shape : {&kFlangerShape, &kPhaserShape, &kChorusShape, &kVibratoShape}) {
    units[shape->effect] = PlugIn<SweepEffect>(*shape);
  }
  units[kEcho] = PlugIn<Echo>();
  units[kDelay] = PlugIn<Delay>();
  units[kReverb] = PlugIn<Reverb>();
  return units;
}

}  // namespace ampora
