#include "effects/pitch_shift.h"

#include <array>
#include <cmath>
#include <limits>

#include "effects/ring_history.h"
#include "util/error_trap.h"
#include "util/rounding.h"

namespace ampora {

namespace {

// Factors of the semitones 0..11 within an octave, 32-bit floats like the other tables.
constexpr std::array<float, 12> kSemitoneFactor = {1.0f,    1.0595f, 1.1225f, 1.1892f,
                                                   1.2599f, 1.3348f, 1.4142f, 1.4983f,
                                                   1.5874f, 1.6818f, 1.7818f, 1.8877f};

// r = octave x (semitone factor + fine / 1000), n split into an octave and a semitone
// index 0..11 (n = -1 is semitone 11 of the octave below). Raises unless r is a positive
// float.
float ShiftRatio(int32_t semitones, int32_t fine) {
  int64_t index = 0;
  int64_t octaves = 0;
  if (semitones >= 0) {
    index = semitones % 12;
    octaves = semitones / 12;
  } else {
    const int64_t q = (int64_t{semitones} + 1) / -12;
    index = semitones + 12 + 12 * q;
    octaves = -(q + 1);
  }
  const double octave = octaves >= 0 ? std::ldexp(1.0, static_cast<int>(octaves))
                                     : 1.0 / std::ldexp(1.0, static_cast<int>(-octaves));
  const double exact = octave * (kSemitoneFactor[index] + fine * 0.001);
  // Also keeps the narrowing to float defined (NaN, infinity, huge).
  Check(exact > 0.0 && exact <= std::numeric_limits<float>::max(), "pitch ratio out of range");
  const float ratio = static_cast<float>(exact);
  Check(ratio > 0.0f, "pitch ratio out of range");
  return ratio;
}

}  // namespace

void PitchShift::Apply(const FxParamTable& fx, const RingShape& shape) {
  const int32_t blockLen = shape.blockLen;
  Check(blockLen >= 1 && blockLen <= shape.sampleRate && shape.ringLen >= blockLen,
        "pitch shifter block length out of range");
  const float ratio = ShiftRatio(fx[FxIndex(kPitchShift, 1)], fx[FxIndex(kPitchShift, 2)]);
  const int32_t grainBlocks = RoundInt32(4.0 / ratio + 2.0);
  Check(int64_t{blockLen} * grainBlocks <= shape.ringLen, "pitch shifter grain beyond its ring");
  const int32_t grainLen = blockLen * grainBlocks;
  const int32_t crossfadeLen = RoundInt32(grainLen * 0.3);
  const int32_t lookBack = RoundInt32((grainLen + crossfadeLen) * static_cast<double>(ratio));
  Check(lookBack <= shape.ringLen, "pitch shifter reads beyond its ring");

  // Nothing below raises: the whole setting changes or none of it.
  blockLen_ = blockLen;
  ringLen_ = shape.ringLen;
  ratio_ = ratio;
  wet_ = PercentFactor(fx[FxIndex(kPitchShift, 3)]);
  dry_ = PercentFactor(fx[FxIndex(kPitchShift, 4)]);
  grainBlocks_ = grainBlocks;
  crossfadeLen_ = crossfadeLen;
  averaging_ = ratio > 1.0f ? static_cast<int32_t>(ratio) - 1 : 0;
  lookBack_ = lookBack;
  grain_.assign(static_cast<size_t>(grainLen), 0);
  tail_.assign(static_cast<size_t>(crossfadeLen), 0);
  fadeOut_.resize(static_cast<size_t>(crossfadeLen));
  fadeIn_.resize(static_cast<size_t>(crossfadeLen));
  const double x = crossfadeLen;
  for (int32_t i = 1; i <= crossfadeLen; ++i) {
    const double rising = i / x;
    const double falling = (crossfadeLen - i) / x;
    fadeOut_[i - 1] =
        static_cast<float>(0.5 * (1.0 - rising * rising * rising) + 0.5 * (crossfadeLen - i) / x);
    fadeIn_[i - 1] = static_cast<float>(0.5 * (1.0 - falling * falling * falling) + 0.5 * i / x);
  }
}

// Reads Bl x G + X samples of the input stage ending about r frames before the block:
// the grain, whose first X samples fade from the tail of the previous grain, then the
// new tail. Each reading interpolates linearly between p0 and p1 = p0 + K + 1 and, for
// r > 1, averages in the K samples between them.
void PitchShift::BuildGrain(const StageBlock& block) {
  const Frame* in = block.in;
  const int32_t ringLen = block.ringLen;
  const int32_t grainLen = blockLen_ * grainBlocks_;
  const int32_t between = averaging_;
  const double ratio = ratio_;
  int32_t p0 = WrapIndex(int64_t{block.start} - lookBack_, ringLen);
  int64_t whole = 0;  // floor(t) of the previous reading
  for (int32_t m = 0; m < grainLen + crossfadeLen_; ++m) {
    const double t = ratio * m;
    // t >= 0, so truncation is floor(t).
    const auto nextWhole = static_cast<int64_t>(t);
    const double frac = t - static_cast<double>(nextWhole);
    p0 = WrapIndex(p0 + (nextWhole - whole), ringLen);
    whole = nextWhole;
    const int32_t s0 = in[p0].left;
    const int32_t s1 = in[WrapIndex(int64_t{p0} + between + 1, ringLen)].left;
    int32_t v = RoundInt32(s1 * frac + s0 * (1.0 - frac));
    if (between > 0) {
      for (int32_t l = 1; l <= between; ++l) v += in[WrapIndex(int64_t{p0} + l, ringLen)].left;
      v = RoundInt32(static_cast<double>(v) / (between + 1));
    }
    if (m < grainLen) {
      if (m < crossfadeLen_)
        v = RoundInt32(double{fadeOut_[m]} * tail_[m] + double{fadeIn_[m]} * v);
      grain_[m] = Clip(v);
    } else {
      tail_[m - grainLen] = Clip(v);
    }
  }
}

void PitchShift::Run(const StageBlock& block) {
  Check(blockLen_ > 0 && block.end - block.start + 1 == blockLen_ && block.ringLen == ringLen_ &&
            block.start >= 0 && block.end < block.ringLen,
        "pitch shifter block does not match its setting");
  const int32_t cycle = (block.start / blockLen_) % grainBlocks_;
  if (cycle == 0) BuildGrain(block);
  const int16_t* grain = grain_.data() + static_cast<size_t>(blockLen_) * cycle;
  const double dry = dry_;
  const double wet = wet_;
  for (int32_t j = 0; j < blockLen_; ++j) {
    const int32_t i = block.start + j;
    block.out[i].left = ClipRound(block.in[i].left * dry + grain[j] * wet);
  }
}

}  // namespace ampora
