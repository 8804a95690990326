#pragma once

#include <array>
#include <cstdint>

#include "audio/stream_buffers.h"
#include "effects/effect_unit.h"
#include "effects/effect_units.h"
#include "effects/fx_param.h"

// The effect chain: the working setting FxParam, the reseed flags FxResync and the state
// of every effect, and ProcessBlock, which runs one block of the capture ring through the
// effects that are on into the same block of the play ring.
//
// A pass: input stage (left input x InGain[0] into stage ring 0), the pitch shifter, the
// other effects in index order, the mono-to-stereo step after Echo, then Delay and
// Reverb, and the output stage (x OutGain into the play ring). Each effect that runs
// reads the current stage ring and writes its own ring, which then becomes current. An
// effect runs only when its row 0 is exactly 1; otherwise it is skipped entirely, and
// its state does not advance.
//
// Thread: UI thread only. ProcessBlock runs inside the poll; FxParam, FxResync and
// ApplyEffectParams are used by the editor, the effect buttons and bank loads between
// passes or from the pending events that the equaliser lets run during a pass.

namespace ampora {

class EffectChain final : public BlockProcessor {
 public:
  // The chain reads the rings and gains of stream afresh on every pass (InitStream
  // re-allocates them). units defaults to the effects built into the program.
  explicit EffectChain(StreamBuffers& stream, EffectUnitTable units = BuiltEffectUnits());

  EffectChain(const EffectChain&) = delete;
  EffectChain& operator=(const EffectChain&) = delete;

  // The working setting, reset to the defaults (everything off) on construction.
  FxParamTable FxParam{};
  // Set for an effect when it is switched on or off or a bank is loaded: the next pass
  // that runs the effect first copies the whole current stage ring into its ring.
  std::array<bool, kEffectCount> FxResync{};

  // Recomputes one effect's state from its rows of FxParam; an error leaves the rest
  // of its state as it was. Indices outside 0..15 do nothing.
  void ApplyEffectParams(int effect);

  // Start-up and shut-down of the tables that some effects size by the rate.
  void InitEffectTables();
  void FreeEffectTables();

  // The frames per second the effects work at: 44100 until set. Every effect keeps its
  // times and frequencies at every rate. A new rate resizes the tables (when they are
  // allocated) and re-applies every effect's parameters; it allocates, so it is set
  // between passes, when the stream is set up. Raises the trap for a rate outside
  // kMinSampleRate..kMaxSampleRate, changing nothing; the same rate changes nothing.
  void SetSampleRate(int32_t rate);
  int32_t SampleRate() const { return sampleRate_; }

  // One block start..end of the rings (a whole block, never wrapping). Returns 1 when
  // the pass completed, 0 when an error abandoned it (frames of the stage rings not yet
  // written keep what they held, those of the play ring are silence) or when the stream
  // was re-initialised during the pass. An effect whose setting cannot run with the
  // stream's block and ring lengths is passed over as if it were off.
  int ProcessBlock(int32_t start, int32_t end) override;

  // The unit of a built effect, for settings that are not parameters (the reverb's
  // random source); nullptr when that effect has no unit of this class.
  template <class Unit>
  Unit* FindUnit(EffectIndex effect) {
    auto* plugged = dynamic_cast<PluggedUnit<Unit>*>(units_[effect].get());
    return plugged != nullptr ? &plugged->unit() : nullptr;
  }

 private:
  // The rings of one pass, read from the stream buffers.
  struct Rings {
    const Frame* capture = nullptr;
    Frame* play = nullptr;
    std::array<Frame*, kStageRingCount> stage{};
    int32_t len = 0;
    uint64_t generation = 0;  // a restart of the same size keeps the addresses
    bool sized = false;       // every ring holds len frames
    bool operator==(const Rings&) const = default;
  };

  // Answers an effect that lets pending events run during its block (the equaliser):
  // whether one of them restarted the stream and so replaced this pass's rings.
  class PassGuard final : public RingGuard {
   public:
    PassGuard(const EffectChain& chain, const Rings& rings) : chain_(chain), rings_(rings) {}
    bool RingsReplaced() const override { return chain_.CurrentRings() != rings_; }

   private:
    const EffectChain& chain_;
    const Rings& rings_;
  };

  RingShape Shape() const;
  Rings CurrentRings() const;
  bool RunPass(int32_t start, int32_t end);
  bool RunEffect(EffectIndex effect, const Rings& rings, int current, int32_t start, int32_t end);

  StreamBuffers& stream_;
  EffectUnitTable units_;
  int32_t sampleRate_ = kDefaultSampleRate;
  bool tablesAllocated_ = false;
};

}  // namespace ampora
