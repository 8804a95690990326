#include "effects/db_to_gain.h"

#include <cmath>

namespace ampora {

float DbToGain(float db) {
  if (db <= -110.0f) return 0.0f;
  return static_cast<float>(std::pow(10.0, static_cast<double>(db) / 20.0));
}

}  // namespace ampora
