#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

#include "effects/fx_param.h"
#include "effects/stage_block.h"
#include "util/error_trap.h"

// How the chain reaches the state and the block routine of one effect.
//
// An effect unit is a plain class holding one effect's state:
//   void Apply(const FxParamTable& fx);   // or Apply(fx, int32_t sampleRate) when its
//                                         // times or frequencies depend on the rate, or
//                                         // Apply(fx, RingShape) when the block and ring
//                                         // lengths size its state (the pitch shifter)
//   void Run(const StageBlock& block);
//   optionally void InitEffectTables(int32_t sampleRate) and void FreeEffectTables()
//   (the equaliser).
// PlugIn<Unit>(constructor arguments...) wraps such a class for the chain's table; the
// chain never needs to know more about it.
//
// Thread: UI thread (Apply from the editor, the buttons and bank loads; Run from
// ProcessBlock inside the poll).

namespace ampora {

class EffectUnit {
 public:
  virtual ~EffectUnit() = default;
  virtual void Apply(const FxParamTable& fx, const RingShape& shape) = 0;
  virtual void Run(const StageBlock& block) = 0;
  // Whether the unit can run blocks of this shape. A unit sized for another shape (the
  // stream was restarted with another block length) is applied to this one first. False
  // when its setting cannot run with this shape: the chain then treats the effect as off,
  // without trying again until the next Apply.
  virtual bool ReadyFor(const FxParamTable& fx, const RingShape& shape) = 0;
  virtual void InitEffectTables(int32_t sampleRate) = 0;
  virtual void FreeEffectTables() = 0;
};

// One entry per effect index; an empty entry is an effect not built, which counts as off.
using EffectUnitTable = std::array<std::unique_ptr<EffectUnit>, kEffectCount>;

template <class Unit>
class PluggedUnit final : public EffectUnit {
 public:
  template <class... Args>
  explicit PluggedUnit(Args&&... args) : unit_(std::forward<Args>(args)...) {}

  void Apply(const FxParamTable& fx, const RingShape& shape) override {
    if constexpr (kSizedByShape) {
      refusedFor_ = shape;  // unless the unit takes it
      unit_.Apply(fx, shape);
      sizedFor_ = shape;
    } else if constexpr (kTimedByRate) {
      unit_.Apply(fx, shape.sampleRate);
    } else {
      unit_.Apply(fx);
    }
  }
  void Run(const StageBlock& block) override { unit_.Run(block); }
  bool ReadyFor(const FxParamTable& fx, const RingShape& shape) override {
    if constexpr (kSizedByShape) {
      if (sizedFor_ == shape) return true;
      if (refusedFor_ == shape) return false;
      return TrapErrors([&] { Apply(fx, shape); });
    } else {
      return true;
    }
  }
  void InitEffectTables(int32_t sampleRate) override {
    if constexpr (requires { unit_.InitEffectTables(sampleRate); }) {
      unit_.InitEffectTables(sampleRate);
    }
  }
  void FreeEffectTables() override {
    if constexpr (requires { unit_.FreeEffectTables(); }) unit_.FreeEffectTables();
  }

  Unit& unit() { return unit_; }

 private:
  static constexpr bool kSizedByShape =
      requires(Unit & u, const FxParamTable& fx, const RingShape& shape) {
    u.Apply(fx, shape);
  };
  static constexpr bool kTimedByRate = requires(Unit & u, const FxParamTable& fx, int32_t rate) {
    u.Apply(fx, rate);
  };

  Unit unit_;
  RingShape sizedFor_{-1, -1};    // of the last successful Apply
  RingShape refusedFor_{-1, -1};  // of the last Apply that raised
};

template <class Unit, class... Args>
std::unique_ptr<EffectUnit> PlugIn(Args&&... args) {
  return std::make_unique<PluggedUnit<Unit>>(std::forward<Args>(args)...);
}

}  // namespace ampora
