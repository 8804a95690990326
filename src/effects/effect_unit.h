#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

#include "effects/fx_param.h"
#include "effects/stage_block.h"

// How the chain reaches the state and the block routine of one effect.
//
// An effect unit is a plain class holding one effect's state:
//   void Apply(const FxParamTable& fx);   // or Apply(fx, BlockLen) when the block length
//                                         // sizes its state (the pitch shifter)
//   void Run(const StageBlock& block);
//   optionally void InitEffectTables() and void FreeEffectTables() (the equaliser).
// PlugIn<Unit>(constructor arguments...) wraps such a class for the chain's table; the
// chain never needs to know more about it.
//
// Thread: UI thread (Apply from the editor, the buttons and bank loads; Run from
// ProcessBlock inside the poll).

namespace ampora {

class EffectUnit {
 public:
  virtual ~EffectUnit() = default;
  virtual void Apply(const FxParamTable& fx, int32_t blockLen) = 0;
  virtual void Run(const StageBlock& block) = 0;
  // True when the unit's state was sized for another block length than this one (the
  // stream was restarted with a new block length since the last Apply).
  virtual bool NeedsApply(int32_t blockLen) const = 0;
  virtual void InitEffectTables() = 0;
  virtual void FreeEffectTables() = 0;
};

// One entry per effect index; an empty entry is an effect not built, which counts as off.
using EffectUnitTable = std::array<std::unique_ptr<EffectUnit>, kEffectCount>;

template <class Unit>
class PluggedUnit final : public EffectUnit {
 public:
  template <class... Args>
  explicit PluggedUnit(Args&&... args) : unit_(std::forward<Args>(args)...) {}

  void Apply(const FxParamTable& fx, int32_t blockLen) override {
    if constexpr (kSizedByBlockLen) {
      unit_.Apply(fx, blockLen);
      sizedFor_ = blockLen;
    } else {
      unit_.Apply(fx);
    }
  }
  void Run(const StageBlock& block) override { unit_.Run(block); }
  bool NeedsApply(int32_t blockLen) const override {
    return kSizedByBlockLen && sizedFor_ != blockLen;
  }
  void InitEffectTables() override {
    if constexpr (requires { unit_.InitEffectTables(); }) unit_.InitEffectTables();
  }
  void FreeEffectTables() override {
    if constexpr (requires { unit_.FreeEffectTables(); }) unit_.FreeEffectTables();
  }

  Unit& unit() { return unit_; }

 private:
  static constexpr bool kSizedByBlockLen = requires(Unit & u, const FxParamTable& fx, int32_t n) {
    u.Apply(fx, n);
  };

  Unit unit_;
  int32_t sizedFor_ = -1;  // block length of the last successful Apply
};

template <class Unit, class... Args>
std::unique_ptr<EffectUnit> PlugIn(Args&&... args) {
  return std::make_unique<PluggedUnit<Unit>>(std::forward<Args>(args)...);
}

}  // namespace ampora
