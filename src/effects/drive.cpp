#include "effects/drive.h"

#include <cmath>
#include <cstdint>

#include "effects/db_to_gain.h"
#include "util/error_trap.h"
#include "util/rounding.h"

namespace ampora {

namespace {

// The filter memories and the clipped gain stage are 32-bit integers; they are held as
// doubles with integer values (RoundInt32Value), which is exact and keeps each frame's
// recursion free of integer conversions.

// round(gain x h) for the gain stage, saturated into the 32-bit range instead of raising:
// at high legal gains a loud input drives the product past 2^31, and the clipper that
// follows turns the saturated value into the same square wave as any large one.
double SaturatingGainStage(float gain, double h) {
  const double product = gain * h;
  if (product >= 2147483647.5) return INT32_MAX;
  if (product < -2147483648.5) return INT32_MIN;
  return RoundInt32Value(product);
}

// One step of a one-pole low-pass with 32-bit float weights, rounded to a sample memory.
double OnePole(OnePoleWeights weights, double input, double memory) {
  return RoundInt32Value(static_cast<double>(weights.input) * input +
                         static_cast<double>(weights.memory) * memory);
}

double ClipTo(double v, int32_t lower, int32_t upper) {
  if (v > upper) v = upper;
  if (v < lower) v = lower;
  return v;
}

}  // namespace

void DriveSettings::Apply(const FxParamTable& fx, EffectIndex effect, double gainDbPerStep,
                          double toneSlope, double toneOffset, int32_t sampleRate) {
  const float g = DbToGain(static_cast<float>(gainDbPerStep * fx[FxIndex(effect, 1)]));
  // A gain beyond the float range (above about 770 dB) is an overflow: the effect keeps
  // its settings rather than multiply by infinity.
  if (std::isinf(g)) RaiseOverflow();
  gain = g;
  const double base = toneSlope * fx[FxIndex(effect, 2)] + toneOffset;
  const auto c = static_cast<float>((std::pow(base, 3.0) + 225.0) / 1000225.0);
  tone = OnePoleAtRate({c, static_cast<float>(1.0 - c)}, sampleRate);
  level = static_cast<float>(fx[FxIndex(effect, 3)] / 50.0);
}

template <class Voicing>
void HighPassDrive<Voicing>::Apply(const FxParamTable& fx, int32_t sampleRate) {
  settings_.Apply(fx, Voicing::kEffect, Voicing::kGainDbPerStep, Voicing::kToneSlope,
                  Voicing::kToneOffset, sampleRate);
  inputLowPass_ = OnePoleAtRate({Voicing::kInputWeight, Voicing::kMemoryWeight}, sampleRate);
}

template <class Voicing>
void HighPassDrive<Voicing>::Run(const StageBlock& block) {
  const DriveSettings s = settings_;
  const OnePoleWeights inputLowPass = inputLowPass_;
  for (int32_t j = block.start; j <= block.end; ++j) {
    const double x = block.in[j].left;
    lowPassMemory_ = OnePole(inputLowPass, x, lowPassMemory_);
    const double driven = SaturatingGainStage(s.gain, x - lowPassMemory_);
    const double clipped = ClipTo(driven, Voicing::kClipLower, Voicing::kClipUpper);
    toneMemory_ = OnePole(s.tone, clipped, toneMemory_);
    block.out[j].left = ClipRound(s.level * toneMemory_);
  }
}

template class HighPassDrive<OverDriveVoicing>;
template class HighPassDrive<DistortionVoicing>;

// Half a decibel per gain step; the tone curve is OverDrive's.
void Fuzz::Apply(const FxParamTable& fx, int32_t sampleRate) {
  settings_.Apply(fx, kFuzz, 0.5, OverDriveVoicing::kToneSlope, OverDriveVoicing::kToneOffset,
                  sampleRate);
}

void Fuzz::Run(const StageBlock& block) {
  constexpr int32_t kClip = 9830;  // 0.3 x 32767
  const DriveSettings s = settings_;
  for (int32_t j = block.start; j <= block.end; ++j) {
    toneMemory_ = OnePole(s.tone, block.in[j].left, toneMemory_);
    const double clipped = ClipTo(SaturatingGainStage(s.gain, toneMemory_), -kClip, kClip);
    block.out[j].left = ClipRound(s.level * clipped);
  }
}

}  // namespace ampora
