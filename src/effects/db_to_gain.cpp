#include "effects/db_to_gain.h"

#include <cmath>

#include "util/error_trap.h"

namespace ampora {

float DbToGain(float x) {
  if (x <= -110.0f) return 0.0f;
  const double gain = std::pow(10.0, static_cast<double>(x) / 20.0);
  // From here up a double rounds to infinity as a float.
  constexpr double kFloatOverflow = 0x1.ffffffp+127;
  if (gain >= kFloatOverflow) RaiseOverflow();
  return static_cast<float>(gain);
}

}  // namespace ampora
