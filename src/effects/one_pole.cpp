#include "effects/one_pole.h"

#include <cmath>

namespace ampora {

OnePoleWeights OnePoleAtRate(OnePoleWeights atDefaultRate, int32_t sampleRate) {
  const double pole = atDefaultRate.memory;
  // At the rate the weights were chosen for they stand as they are, without a round trip
  // through pow and a quotient that a library or a compiler might not return exactly.
  if (sampleRate == kDefaultSampleRate || !(pole >= 0.0 && pole < 1.0)) return atDefaultRate;
  const auto moved =
      static_cast<float>(std::pow(pole, static_cast<double>(kDefaultSampleRate) / sampleRate));
  const double gainKept = (1.0 - static_cast<double>(moved)) / (1.0 - pole);
  return OnePoleWeights{static_cast<float>(atDefaultRate.input * gainKept), moved};
}

}  // namespace ampora
