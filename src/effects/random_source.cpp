#include "effects/random_source.h"

#include <chrono>

namespace ampora {

TwisterRandom::TwisterRandom() : followsClock_(true) {
  ReseedFromClock();
}

TwisterRandom::TwisterRandom(uint64_t seed) : engine_(seed), followsClock_(false) {}

double TwisterRandom::Next() {
  // The top 53 bits as a fraction: every value in [0, 1), never 1.
  return static_cast<double>(engine_() >> 11) * 0x1p-53;
}

void TwisterRandom::ReseedFromClock() {
  if (!followsClock_) return;
  // Mixing in the generator's own next value keeps two reseeds within one clock tick
  // from repeating a sequence.
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  engine_.seed(static_cast<uint64_t>(ticks) ^ engine_());
}

}  // namespace ampora
