#include "effects/reverb.h"

#include <algorithm>

#include "effects/ring_history.h"
#include "util/rounding.h"

namespace ampora {

Reverb::Reverb() : random_(std::make_unique<TwisterRandom>()) {}

void Reverb::UseRandomSource(std::unique_ptr<RandomSource> random) {
  random_ = std::move(random);
}

namespace {

// Reflection t lies (t + 1) x 800000 + 100000 .. plus 266667 (by the random number r),
// divided by 44100 and multiplied by the spread: frames at 44100 Hz (42..54 ms for the
// first reflection at spread 50). At other rates the reflections keep their times; the
// factor is exactly 1 at 44100 Hz.
int32_t ReflectionDelay(double r, int t, double spread, int32_t sampleRate) {
  constexpr double kReferenceRate = kDefaultSampleRate;
  const double base = (t + 1) * 19200000.0;
  return RoundInt32(((r * 6400000 + base) / 24 + 100000) / kReferenceRate * spread *
                    (sampleRate / kReferenceRate));
}

// The gains of the reflections fall from 34 to 10 times 0.1 / 24, whatever the setting.
constexpr std::array<float, Reverb::kTaps> kReflectionGain = [] {
  std::array<float, Reverb::kTaps> gains{};
  for (int t = 0; t < Reverb::kTaps; ++t) {
    gains[t] = static_cast<float>((34 - t) * (static_cast<double>(0.1f) / 24));
  }
  return gains;
}();

}  // namespace

void Reverb::Apply(const FxParamTable& fx, int32_t sampleRate) {
  const double spread = fx[FxIndex(kReverb, 1)] + 40.0;
  const auto stereo = PercentFactor(fx[FxIndex(kReverb, 4)]);
  for (int t = 0; t < kTaps; ++t) {
    delayLeft_[t] = ReflectionDelay(random_->Next(), t, spread, sampleRate);
    // The right reflection moves from the left one (stereo 0) to a position of its own
    // (stereo 100), drawn after a reseed from the clock.
    random_->ReseedFromClock();
    const int32_t own = ReflectionDelay(random_->Next(), t, spread, sampleRate);
    delayRight_[t] = RoundInt32((1 - static_cast<double>(stereo)) * delayLeft_[t] +
                                static_cast<double>(stereo) * own);
  }
  highCut_ = static_cast<float>(static_cast<double>(0.51f) -
                                static_cast<double>(0.005f) * fx[FxIndex(kReverb, 2)]);
  highCutPartner_ = static_cast<float>(static_cast<double>(0.999f) - highCut_);
  lowCut_ = static_cast<float>(1 - 0.0002 * fx[FxIndex(kReverb, 3)]);
  lowCutPartner_ = static_cast<float>(1 - static_cast<double>(lowCut_));
  wet_ = static_cast<float>(fx[FxIndex(kReverb, 5)] / 100.0 * 5);
  dry_ = PercentFactor(fx[FxIndex(kReverb, 6)]);
}

namespace {

// Frames whose reflection sums are formed together: the sum of one frame is a chain of
// 25 dependent roundings, so several frames side by side keep the arithmetic units busy.
constexpr int32_t kChunk = 8;

// The left and the right sum of one frame side by side: each lane is computed exactly as
// a double alone would be.
using SumPair = double __attribute__((vector_size(16)));

}  // namespace

void Reverb::Run(const StageBlock& block) {
  try {
    RunFrames(block);
  } catch (const RuntimeError&) {
    // Only memories beyond any sound (from an unstable filter of a hand-edited bank) make
    // the arithmetic overflow. Kept, they would fail every later pass whatever the
    // settings, since nothing else resets them: the reverb starts afresh instead.
    lowPassLeft_ = lowPassRight_ = slowLeft_ = slowRight_ = 0;
    throw;
  }
}

void Reverb::RunFrames(const StageBlock& block) {
  const Frame* in = block.in;
  const int32_t ringLen = block.ringLen;
  // Products in double, from the 32-bit factors.
  const double a = highCut_;
  const double aPartner = highCutPartner_;
  const double b = lowCut_;
  const double bPartner = lowCutPartner_;
  const double wet = wet_;
  const double dry = dry_;
  const SumPair shift = {6755399441055744.0, 6755399441055744.0};  // as RoundHalfEvenSmall
  for (int32_t first = block.start; first <= block.end; first += kChunk) {
    const int32_t count = std::min(kChunk, block.end - first + 1);
    SumPair sums[kChunk] = {};
    for (int t = 0; t < kTaps; ++t) {
      const double g = kReflectionGain[t];
      const int32_t fromLeft = WrapIndex(static_cast<int64_t>(first) - delayLeft_[t], ringLen);
      const int32_t fromRight = WrapIndex(static_cast<int64_t>(first) - delayRight_[t], ringLen);
      auto add = [&](int32_t j, int32_t kl, int32_t kr) {
        const SumPair x = {static_cast<double>(in[kl].left), static_cast<double>(in[kr].right)};
        // |sum| stays below 25 x 32768 x 0.15, so rounding needs no range check.
        sums[j] = ((sums[j] + x * g) + shift) - shift;
      };
      if (count == kChunk && fromLeft <= ringLen - kChunk && fromRight <= ringLen - kChunk) {
        // Unrolled, the eight pairs of sums stay in registers.
#pragma GCC unroll 8
        for (int32_t j = 0; j < kChunk; ++j) add(j, fromLeft + j, fromRight + j);
      } else {
        // The chunk lies inside the block, so from + j is at most one ring past its end.
        for (int32_t j = 0; j < count; ++j) {
          const int32_t kl = fromLeft + j;
          const int32_t kr = fromRight + j;
          add(j, kl < ringLen ? kl : kl - ringLen, kr < ringLen ? kr : kr - ringLen);
        }
      }
    }
    for (int32_t j = 0; j < count; ++j) {
      const int32_t i = first + j;
      lowPassLeft_ = RoundInt32(a * sums[j][0] + aPartner * lowPassLeft_);
      lowPassRight_ = RoundInt32(a * sums[j][1] + aPartner * lowPassRight_);
      slowLeft_ = RoundInt32(slowLeft_ * b + lowPassLeft_ * bPartner);
      slowRight_ = RoundInt32(slowRight_ * b + lowPassRight_ * bPartner);
      const int32_t outLeft =
          RoundInt32(in[i].left * dry + wet * (static_cast<double>(lowPassLeft_) - slowLeft_));
      const int32_t outRight =
          RoundInt32(in[i].right * dry + wet * (static_cast<double>(lowPassRight_) - slowRight_));
      block.out[i] = Frame{Clip(outLeft), Clip(outRight)};
    }
  }
}

}  // namespace ampora
