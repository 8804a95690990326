#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effects/fx_param.h"
#include "effects/stage_block.h"

namespace ampora {

// "GraphicEQ" (effect 6): fifteen peaking biquads in 32-bit floats over the mono (left)
// signal, bands in ascending frequency, then the output level. A band whose gain is 0 dB
// is skipped and keeps its memories; memories are never reset by Apply().
//
// A band at or above half the sample rate (16 kHz at 22050 Hz) cannot be realised and
// passes the signal unchanged.
//
// Band gains beyond about +-15.56 dB (possible only in a hand-edited bank) would damp a
// band's zeros or poles beyond 1, where the design has no real value: the band's amplitude
// is limited to 1/6..6 there, so it boosts or cuts as far as the design reaches and its
// coefficients stay finite for any gain.
//
// Thread: UI thread only, every member. Run() lets pending user-interface events run
// before each active band; what they change (Apply(), the tables) takes effect from that
// point of the pass on. It reads and writes the rings only after the last event, and not
// at all when block.guard reports that an event replaced them.
class GraphicEq {
 public:
  static constexpr int kBandCount = 15;
  static constexpr int kSlotCount = 2;

  // Band centre frequencies in Hz and the common Q.
  static constexpr std::array<float, kBandCount> kBandFrequency = {
      25.0f,   40.0f,   63.0f,   100.0f,  160.0f,  250.0f,   400.0f,  630.0f,
      1000.0f, 1600.0f, 2500.0f, 4000.0f, 6300.0f, 10000.0f, 16000.0f};
  static constexpr float kBandQ = 3.0f;

  struct Coefficients {
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
  };
  // Last two inputs and outputs of a band.
  struct Memory {
    float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
  };

  // Allocates the block buffer (sampleRate frames, one second: the longest block the
  // equaliser takes) and clears the band memories. Called at start-up, before the first
  // Apply(), and again when the rate changes.
  void InitEffectTables(int32_t sampleRate = kDefaultSampleRate);
  // Releases the block buffer; Run() then raises the trap until InitEffectTables().
  void FreeEffectTables();

  // ApplyEffectParams(6): copies the 15 gains (rows 1..15) and the level (row 16 / 100)
  // and redesigns the bands for sampleRate.
  void Apply(const FxParamTable& fx, int32_t sampleRate = kDefaultSampleRate);
  // Coefficients of every band from its gain at the rate of the last Apply();
  // intermediates in double.
  void DesignEqBands();
  // Filters n >= 1 samples of source into destination (which may be the same buffer)
  // with one band's coefficients and the memories of the given slot (0 or 1).
  void RunEqBand(int slot, int band, const float* source, float* destination, int32_t n);

  // One block: reads block.in left samples, writes block.out left samples. Raises the
  // trap for a block longer than the block buffer or when the tables are not allocated.
  void Run(const StageBlock& block);

  const Coefficients& BandCoefficients(int band) const { return coefficients_[band]; }
  const Memory& BandMemory(int slot, int band) const { return memory_[slot][band]; }

 private:
  // A band as a pass runs it: which memories it uses and the coefficients it had when
  // its turn came.
  struct PlannedBand {
    int band = 0;
    Coefficients coefficients;
  };

  void RunCascade(int slot, const PlannedBand* bands, int count, const float* source,
                  float* destination, int32_t n);

  std::array<float, kBandCount> gain_{};
  float level_ = 1.0f;
  int32_t sampleRate_ = kDefaultSampleRate;
  std::array<Coefficients, kBandCount> coefficients_{};
  std::array<std::array<Memory, kBandCount>, kSlotCount> memory_{};
  std::vector<float> block_;
};

}  // namespace ampora
