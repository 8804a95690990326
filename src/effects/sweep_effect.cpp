#include "effects/sweep_effect.h"

#include <algorithm>
#include <cmath>

#include "effects/lfo.h"
#include "effects/ring_history.h"
#include "effects/ring_span.h"
#include "util/rounding.h"

namespace ampora {

namespace {

// Flanger and Phaser: the base delay is the integer quotient of the rate (63 and 5 frames
// at 44100 Hz), and the depth a percentage of that quotient.
template <int32_t kDivisor>
int32_t RateQuotient(int32_t sampleRate) {
  return sampleRate / kDivisor;
}
template <int32_t kDivisor>
double RateQuotientScale(int32_t sampleRate) {
  return RateQuotient<kDivisor>(sampleRate);
}

// 20 ms: 882 frames at 44100 Hz.
int32_t ChorusBase(int32_t sampleRate) {
  return RoundInt32(sampleRate / 1000.0 * 20);
}

// 1/300 s and one frame: 148 frames at 44100 Hz.
int32_t VibratoBase(int32_t sampleRate) {
  return RoundInt32(sampleRate / 300.0 + 1);
}

// Chorus and Vibrato: the depth is row 2 / 100 ms and row 2 percent of 1/300 s.
double WholeRate(int32_t sampleRate) {
  return sampleRate;
}

}  // namespace

const SweepShape kFlangerShape{kFlanger, 50.0, &RateQuotient<700>, &RateQuotientScale<700>,
                               1.0,      true};
const SweepShape kPhaserShape{kPhaser, 15.0, &RateQuotient<8000>, &RateQuotientScale<8000>,
                              1.0,     true};
const SweepShape kChorusShape{kChorus, 10.0, &ChorusBase, &WholeRate, 1000.0, true};
const SweepShape kVibratoShape{kVibrato, 10.0, &VibratoBase, &WholeRate, 300.0, false};

void SweepEffect::Apply(const FxParamTable& fx, int32_t sampleRate) {
  baseDelay_ = shape_.baseDelay(sampleRate);
  increment_ = LfoIncrement(fx[FxIndex(shape_.effect, 1)] / shape_.rateDivisor, sampleRate);
  depth_ = RoundInt32(fx[FxIndex(shape_.effect, 2)] / 100.0 * shape_.depthScale(sampleRate) /
                      shape_.depthDivisor);
  if (shape_.hasLevel) {
    dry_ = static_cast<float>(10.0 / 15.0);
    wet_ = static_cast<float>(fx[FxIndex(shape_.effect, 3)] / 150.0);
  } else {
    dry_ = 0.0f;
    wet_ = 1.0f;
  }
}

namespace {

// Beyond this a read position cannot come from a finite phase and a 32-bit depth; the
// check keeps the conversion to an integer defined whatever happens.
constexpr double kPositionLimit = 4503599627370496.0;  // 2^52

// Frames whose LFO sines are taken ahead: the LFO does not depend on the signal, and a
// run of library calls apart from the arithmetic lets the processor overlap the latter.
constexpr int32_t kSineRun = 32;

}  // namespace

void SweepEffect::Run(const StageBlock& block) {
  const Frame* in = block.in;
  Frame* out = block.out;
  const int32_t ringLen = block.ringLen;
  const double dry = dry_;  // products in double, from the 32-bit factors
  const double wet = wet_;
  double sines[kSineRun];
  for (int32_t first = block.start; first <= block.end; first += kSineRun) {
    const int32_t count = std::min(kSineRun, block.end - first + 1);
    double phase = phase_;
    for (int32_t j = 0; j < count; ++j) {
      sines[j] = std::sin(phase);
      phase += increment_;
    }
    for (int32_t j = 0; j < count; ++j) {
      const int32_t i = first + j;
      const double firstWeight = 1.0 - prevFrac_;
      const int64_t p0 = prevPos_;
      const double pos = (i - baseDelay_) - sines[j] * depth_;
      if (!(std::fabs(pos) < kPositionLimit)) RaiseOverflow();
      // floor(pos) by truncation, one down for negative fractions.
      auto p1 = static_cast<int64_t>(pos);
      if (static_cast<double>(p1) > pos) --p1;
      const double frac = pos - static_cast<double>(p1);
      // A position behind the previous one has crossed the end of the ring.
      if (p1 < p0) p1 += ringLen;
      // A sample times a weight of at most 1, plus one more: no range to check.
      auto sum =
          static_cast<int64_t>(RoundHalfEvenSmall(in[WrapIndex(p0, ringLen)].left * firstWeight));
      sum = static_cast<int64_t>(
          RoundHalfEvenSmall(in[WrapIndex(p1, ringLen)].left * frac + static_cast<double>(sum)));
      double weight = firstWeight + frac;
      if (p1 - p0 > 1) {
        const int64_t between = p1 - p0 - 1;
        sum += SumLeftOverSpan(in, ringLen, p0 + 1, between);
        weight = AddOnesOneByOne(weight, between);
      }
      const int32_t y = RoundInt32(static_cast<double>(sum) / weight);
      if (p1 >= ringLen) p1 -= ringLen;
      prevPos_ = p1;
      prevFrac_ = static_cast<float>(frac);
      phase_ += increment_;
      out[i].left = ClipRound(in[i].left * dry + wet * y);
    }
  }
}

}  // namespace ampora
