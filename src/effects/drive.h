#pragma once

#include <cstdint>

#include "effects/fx_param.h"
#include "effects/one_pole.h"
#include "effects/stage_block.h"

// The drive effects: OverDrive, Distortion and Fuzz. Each is a short fixed chain of
// one-pole filters, a gain stage and a hard clipper on the left (mono) signal, and writes
// only the left samples of its ring. Rows 1..3 of each are gain, tone and level.
//
// Thread: UI thread. Apply is ApplyEffectParams for the effect; Run is its step of
// ProcessBlock. Both may raise RuntimeError (the chain traps it); call Apply before the
// first Run. The filter memories are kept across blocks and never reset, not even by Apply.
// The filters' weights are chosen for 44100 Hz; at other rates they are moved so that their
// corners stay where they are (OnePoleAtRate).

namespace ampora {

// What Apply derives from the gain, tone and level rows.
struct DriveSettings {
  float gain = 0.0f;  // G = DbToGain(gain dB per step x row 1)
  // The tone low-pass: at 44100 Hz input c = ((slope x row 2 + offset)^3 + 225) / 1000225
  // (1 = open) and memory 1 - c.
  OnePoleWeights tone;
  float level = 0.0f;  // row 3 / 50

  // Raises kOverflow when the gain exceeds the float range; nothing is changed then.
  void Apply(const FxParamTable& fx, EffectIndex effect, double gainDbPerStep, double toneSlope,
             double toneOffset, int32_t sampleRate);
};

// The constants that tell OverDrive and Distortion apart.
struct OverDriveVoicing {
  static constexpr EffectIndex kEffect = kOverDrive;
  static constexpr double kGainDbPerStep = 0.9;
  static constexpr double kToneSlope = 0.7;
  static constexpr double kToneOffset = 30.0;
  static constexpr float kInputWeight = 0.198f;  // low-pass of the input high-pass, at 44100 Hz
  static constexpr float kMemoryWeight = 0.8f;
  static constexpr int32_t kClipUpper = 13107;  // 0.4 x 32767
  static constexpr int32_t kClipLower = -3277;  // -0.1 x 32767
};

struct DistortionVoicing {
  static constexpr EffectIndex kEffect = kDistortion;
  static constexpr double kGainDbPerStep = 1.0;
  static constexpr double kToneSlope = 0.55;
  static constexpr double kToneOffset = 45.0;
  static constexpr float kInputWeight = 0.099f;
  static constexpr float kMemoryWeight = 0.9f;
  static constexpr int32_t kClipUpper = 8192;  // 0.25 x 32767
  static constexpr int32_t kClipLower = -8192;
};

// High-pass (input minus its low-passed copy), gain, clipper, tone low-pass, level.
template <class Voicing>
class HighPassDrive {
 public:
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  void Run(const StageBlock& block);

 private:
  DriveSettings settings_;
  OnePoleWeights inputLowPass_{Voicing::kInputWeight, Voicing::kMemoryWeight};
  double lowPassMemory_ = 0.0;  // u: low-passed input (an integer)
  double toneMemory_ = 0.0;     // w: tone filter memory (an integer)
};

using OverDrive = HighPassDrive<OverDriveVoicing>;
using Distortion = HighPassDrive<DistortionVoicing>;

// Tone low-pass on the input, gain, symmetric clipper at 0.3 of full scale, level.
class Fuzz {
 public:
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  void Run(const StageBlock& block);

 private:
  DriveSettings settings_;
  double toneMemory_ = 0.0;  // w: tone filter memory (an integer)
};

}  // namespace ampora
