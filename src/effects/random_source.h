#pragma once

#include <cstdint>
#include <random>

namespace ampora {

// Uniform random numbers in [0, 1) for the Reverb's reflections, with the reseed from
// the system clock that its tap generation performs. An interface, so that tests and
// reproducible renders can supply their own sequence.
//
// Thread: UI thread (the Reverb's Apply).
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual double Next() = 0;
  virtual void ReseedFromClock() = 0;
};

// A 64-bit Mersenne Twister. By default it is seeded from the clock and reseeds from the
// clock when asked. With a fixed seed it is reproducible: it never reads the clock, and a
// reseed leaves it drawing from the one sequence that seed gives.
class TwisterRandom : public RandomSource {
 public:
  TwisterRandom();
  explicit TwisterRandom(uint64_t seed);

  double Next() override;
  void ReseedFromClock() override;

 private:
  std::mt19937_64 engine_;
  bool followsClock_;
};

}  // namespace ampora
