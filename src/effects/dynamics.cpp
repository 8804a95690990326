#include "effects/dynamics.h"

#include <cmath>
#include <cstdlib>

#include "util/error_trap.h"
#include "util/rounding.h"

// Expressions are evaluated in double and rounded to a 32-bit float where a state variable
// stores them. A single operation on two floats (gain -= step) rounds the same in float
// as in double, so such steps are written in float.

namespace ampora {

namespace {

int32_t Row(const FxParamTable& fx, EffectIndex effect, int row) {
  return fx[FxIndex(effect, row)];
}

// A threshold in percent of full scale as a sample value.
int32_t ThresholdOf(int32_t percent) {
  return RoundInt32(static_cast<double>(PercentFactor(percent)) * 32767.0);
}

// The gain change per frame that makes a change of 1 take `ms` milliseconds.
float ReleaseIncrement(int32_t ms, int32_t sampleRate) {
  const double frames = ms / 1000.0 * sampleRate;
  if (frames == 0.0) RaiseDivisionByZero();
  return static_cast<float>(1.0 / frames);
}

// The 2 ms attack of both dynamics effects, in frames (88.2 at 44100 Hz).
float AttackLength(int32_t sampleRate) {
  return static_cast<float>(sampleRate / 500.0);
}

}  // namespace

void Limiter::Apply(const FxParamTable& fx, int32_t sampleRate) {
  attackLength_ = AttackLength(sampleRate);
  threshold_ = ThresholdOf(Row(fx, kLimiter, 1));
  release_ = ReleaseIncrement(Row(fx, kLimiter, 2), sampleRate);
  mix_ = PercentFactor(Row(fx, kLimiter, 3));
  level_ = PercentFactor(Row(fx, kLimiter, 4));
  gain_ = 1.0f;
  target_ = 1.0f;
}

void Limiter::Run(const StageBlock& block) {
  try {
    RunFrames(block);
  } catch (const RuntimeError&) {
    // Only a gain beyond any sound (from a threshold of a hand-edited bank) makes the
    // arithmetic overflow. Kept, with its step that Apply keeps too, it would fail every
    // later pass even at sane settings: the limiter starts afresh instead.
    gain_ = 1.0f;
    target_ = 1.0f;
    step_ = 0.0f;
    throw;
  }
}

void Limiter::RunFrames(const StageBlock& block) {
  for (int32_t j = block.start; j <= block.end; ++j) {
    const int32_t x = block.in[j].left;
    if (x != 0) {
      const auto limit = static_cast<float>(static_cast<double>(threshold_) / std::abs(x));
      if (limit < 1.0f && limit < gain_ && limit < target_) {
        target_ = limit;
        step_ = static_cast<float>((static_cast<double>(gain_) - limit) / attackLength_);
      }
    }
    if (step_ != 0.0f) {
      const float before = gain_;
      gain_ -= step_;
      // A step too small to move the gain would hold it there for good: the attack ends.
      if (gain_ <= target_ || gain_ == before) {
        step_ = 0.0f;
        target_ = 1.0f;
      }
    } else {
      gain_ += release_;
      if (gain_ > 1.0f) gain_ = 1.0f;
    }
    const int32_t limited = RoundInt32(x * static_cast<double>(gain_));
    const double removed = x - static_cast<double>(limited);
    block.out[j].left = ClipRound((removed * mix_ + limited) * level_);
  }
}

void Compressor::Apply(const FxParamTable& fx, int32_t sampleRate) {
  attackLength_ = AttackLength(sampleRate);
  threshold_ = ThresholdOf(Row(fx, kCompressor, 1));
  release_ = ReleaseIncrement(Row(fx, kCompressor, 2), sampleRate);
  attack_ = PercentFactor(Row(fx, kCompressor, 3));
  rest_ = PercentFactor(Row(fx, kCompressor, 4));
  level_ = PercentFactor(Row(fx, kCompressor, 5));
  gain_ = 1.0f;
  target_ = rest_;
}

void Compressor::Run(const StageBlock& block) {
  for (int32_t j = block.start; j <= block.end; ++j) {
    const int32_t x = block.in[j].left;
    const int32_t peak = std::abs(x);
    if (peak > threshold_ && peak != 0) {
      // A loud sample only sets the target and the step, and only a target further from
      // the resting gain replaces the pending one.
      const double aim = static_cast<double>(threshold_) / peak * attack_;
      const auto aimStored = static_cast<float>(aim);
      const double rest = rest_;
      if (std::abs(gain_ - rest) < std::abs(aim - rest) &&
          std::abs(target_ - rest) < std::abs(aimStored - rest)) {
        target_ = aimStored;
        step_ =
            static_cast<float>(std::abs(static_cast<double>(gain_) - aimStored) / attackLength_);
      }
    } else if (step_ != 0.0f) {
      const float before = gain_;
      bool reached;
      if (gain_ >= target_) {
        gain_ -= step_;
        reached = gain_ <= target_;
      } else {
        gain_ += step_;
        reached = gain_ >= target_;
      }
      // A step too small to move the gain would hold it short of the target for good.
      reached = reached || gain_ == before;
      if (reached) {
        step_ = 0.0f;
        gain_ = target_;
        target_ = rest_;
      }
    } else if (gain_ >= rest_) {
      gain_ -= release_;
      if (gain_ < rest_) gain_ = rest_;
    } else {
      gain_ += release_;
      if (gain_ > rest_) gain_ = rest_;
    }
    block.out[j].left = ClipRound(x * static_cast<double>(gain_) * level_);
  }
}

void Enhancer::Apply(const FxParamTable& fx) {
  amount_ = static_cast<float>(static_cast<double>(PercentFactor(Row(fx, kEnhancer, 1))) * 3.0);
  direct_ = PercentFactor(Row(fx, kEnhancer, 2));
}

void Enhancer::Run(const StageBlock& block) {
  for (int32_t j = block.start; j <= block.end; ++j) {
    const int32_t x = block.in[j].left;
    block.out[j].left = ClipRound((x - previous_) * static_cast<double>(amount_) +
                                  direct_ * static_cast<double>(x));
    previous_ = x;
  }
}

}  // namespace ampora
