#include "effects/graphic_eq.h"

#include <algorithm>
#include <cmath>

#include "util/error_trap.h"
#include "util/pending_events.h"
#include "util/rounding.h"

namespace ampora {

namespace {

constexpr double kE = 2.718281828;
constexpr double kTwoPi = 6.28318530717958;

double Square(double x) {
  return x * x;
}

// One band's state inside a pass, widened once: the memories hold float values.
struct BandState {
  double b0, b1, b2, a1, a2;
  double x1, x2, y1, y2;

  // Direct form I; the output is rounded to a 32-bit float, as the band's buffer holds it.
  float Step(double x0) {
    const float y = static_cast<float>(b0 * x0 + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2);
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = y;
    return y;
  }
};

}  // namespace

void GraphicEq::InitEffectTables(int32_t sampleRate) {
  block_.assign(static_cast<size_t>(sampleRate), 0.0f);
  memory_ = {};
}

void GraphicEq::FreeEffectTables() {
  std::vector<float>().swap(block_);
}

void GraphicEq::Apply(const FxParamTable& fx, int32_t sampleRate) {
  sampleRate_ = sampleRate;
  for (int b = 0; b < kBandCount; ++b)
    gain_[b] = static_cast<float>(fx[FxIndex(kGraphicEq, b + 1)]);
  level_ = PercentFactor(fx[FxIndex(kGraphicEq, 16)]);
  DesignEqBands();
}

void GraphicEq::DesignEqBands() {
  const double q = kBandQ;
  // Limiting the amplitude keeps both dampings at most 1 and the square roots real.
  const double minAmplitude = 0.5 / q;
  const double maxAmplitude = q / 0.5;
  for (int i = 0; i < kBandCount; ++i) {
    Coefficients& c = coefficients_[i];
    if (2.0 * kBandFrequency[i] >= sampleRate_) {
      c = Coefficients{};  // the identity
      continue;
    }
    const double amplitude =
        std::clamp(std::pow(10.0, gain_[i] / 20.0), minAmplitude, maxAmplitude);
    const double w = kBandFrequency[i] / static_cast<double>(sampleRate_) * kTwoPi;
    double z = 0.5 / q;
    double p = 0.5 / q;
    if (amplitude >= 1.0) {
      z = amplitude * 0.5 / q;
    } else {
      p = (0.5 / q) / amplitude;
    }
    const double rz = std::pow(kE, -w * z);
    const double rp = std::pow(kE, -w * p);
    const double b1Unscaled = -2.0 * rz * std::cos(w * std::sqrt(1.0 - z * z));
    const double b2Unscaled = rz * rz;
    c.a1 = static_cast<float>(-2.0 * rp * std::cos(w * std::sqrt(1.0 - p * p)));
    c.a2 = static_cast<float>(rp * rp);
    // Scale so that the gain at the centre is the amplitude, with the stored a1 and a2.
    const double cosW = std::cos(w);
    const double sinW = std::sin(w);
    const double d = Square(c.a1 + cosW * (1.0 + c.a2)) + Square((1.0 - c.a2) * sinW);
    const double n =
        Square(b1Unscaled + cosW * (1.0 + b2Unscaled)) + Square((1.0 - b2Unscaled) * sinW);
    c.b0 = static_cast<float>(std::sqrt(d) * amplitude / std::sqrt(n));
    c.b1 = static_cast<float>(c.b0 * b1Unscaled);
    c.b2 = static_cast<float>(c.b0 * b2Unscaled);
  }
}

void GraphicEq::RunEqBand(int slot, int band, const float* source, float* destination, int32_t n) {
  Check(band >= 0 && band < kBandCount, "equaliser band out of range");
  const PlannedBand planned{band, coefficients_[band]};
  RunCascade(slot, &planned, 1, source, destination, n);
}

// The bands run in series, skewed by one sample each: in step k band i filters sample
// k - i, whose input band i-1 produced in step k-1. The recursions of one step are then
// independent and the processor overlaps them, while every band sees exactly the samples
// and does exactly the arithmetic of a band-by-band run. Bands are visited from the last
// to the first so that each still reads its predecessor's output of the step before.
// In place is fine: step k writes sample k - count + 1 <= k after reading sample k.
void GraphicEq::RunCascade(int slot, const PlannedBand* bands, int count, const float* source,
                           float* destination, int32_t n) {
  Check(slot >= 0 && slot < kSlotCount, "equaliser slot out of range");
  Check(count >= 1 && count <= kBandCount && n >= 1, "equaliser run out of range");
  std::array<BandState, kBandCount> state;
  for (int i = 0; i < count; ++i) {
    const Coefficients& c = bands[i].coefficients;
    const Memory& m = memory_[slot][bands[i].band];
    state[i] = BandState{c.b0, c.b1, c.b2, c.a1, c.a2, m.x1, m.x2, m.y1, m.y2};
  }
  std::array<float, kBandCount> latest{};  // latest[i]: band i's newest output
  const int last = count - 1;
  for (int32_t k = 0; k < n + last; ++k) {
    const int first = std::max(1, k - n + 1);
    for (int i = std::min(last, k); i >= first; --i) latest[i] = state[i].Step(latest[i - 1]);
    if (k < n) latest[0] = state[0].Step(source[k]);
    if (k >= last) destination[k - last] = latest[last];
  }
  for (int i = 0; i < count; ++i) {
    const BandState& s = state[i];
    memory_[slot][bands[i].band] = Memory{static_cast<float>(s.x1), static_cast<float>(s.x2),
                                          static_cast<float>(s.y1), static_cast<float>(s.y2)};
  }
}

void GraphicEq::Run(const StageBlock& block) {
  const int32_t n = block.end - block.start + 1;
  // Events run before each active band and may change gains, coefficients and level, the
  // tables or even the rings: each band takes the gain and coefficients it has when its
  // turn comes, and nothing else (rings included) is touched before the last event ran.
  std::array<PlannedBand, kBandCount> plan;
  int count = 0;
  for (int b = 0; b < kBandCount; ++b) {
    if (gain_[b] == 0.0f) continue;
    RunPendingEvents();
    if (gain_[b] == 0.0f) continue;  // an event set the band to 0 dB: it keeps its memories
    plan[count++] = PlannedBand{b, coefficients_[b]};
  }
  // A stream restarted by an event took this block's rings with it: leave them alone (the
  // chain sees the restart and abandons the pass).
  if (block.guard != nullptr && block.guard->RingsReplaced()) return;
  Check(n >= 1 && static_cast<size_t>(n) <= block_.size(),
        "block longer than the equaliser's buffer");
  float* buffer = block_.data();
  for (int32_t k = 0; k < n; ++k) buffer[k] = block.in[block.start + k].left;
  if (count > 0) RunCascade(0, plan.data(), count, buffer, buffer, n);
  const double level = level_;
  for (int32_t k = 0; k < n; ++k) block.out[block.start + k].left = ClipRound(level * buffer[k]);
}

}  // namespace ampora
