#pragma once

#include "effects/effect_unit.h"

namespace ampora {

// The units of the effects built so far, at their effect indices.
EffectUnitTable BuiltEffectUnits();

}  // namespace ampora
