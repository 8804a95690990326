#include "effects/effect_chain.h"

#include <algorithm>
#include <utility>

#include "effects/effect_catalogue.h"
#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/vector_state.h"

namespace ampora {
namespace {

// Up to and including this effect the signal is mono (left samples only).
constexpr EffectIndex kLastMonoEffect = kEcho;

}  // namespace

EffectChain::EffectChain(StreamBuffers& stream, EffectUnitTable units, ChainEnvironment environment)
    : stream_(stream), units_(std::move(units)), environment_(environment) {
  ResetEffectParams(FxParam);
  FxResync.fill(true);
}

void EffectChain::ApplyEffectParams(int effect) {
  if (effect < 0 || effect >= kEffectCount) return;
  EffectUnit* unit = units_[effect].get();
  if (unit == nullptr) return;
  TrapErrors(*environment_.errorCatch, [&] { unit->Apply(FxParam, Shape()); });
}

void EffectChain::InitEffectTables() {
  for (auto& unit : units_) {
    if (unit != nullptr) unit->InitEffectTables(sampleRate_);
  }
  tablesAllocated_ = true;
}

void EffectChain::FreeEffectTables() {
  for (auto& unit : units_) {
    if (unit != nullptr) unit->FreeEffectTables();
  }
  tablesAllocated_ = false;
}

void EffectChain::SetSampleRate(int32_t rate) {
  Check(IsSupportedSampleRate(rate), "sample rate out of range");
  if (rate == sampleRate_) return;
  sampleRate_ = rate;
  if (tablesAllocated_) InitEffectTables();
  for (int effect = 0; effect < kEffectCount; ++effect) ApplyEffectParams(effect);
}

int EffectChain::ProcessBlock(int32_t start, int32_t end) {
  bool completed = false;
  TrapErrors(*environment_.errorCatch, [&] { completed = RunPass(start, end); });
  return completed ? 1 : 0;
}

RingShape EffectChain::Shape() const {
  return RingShape{stream_.BlockLen, stream_.RingLen, sampleRate_};
}

EffectChain::Rings EffectChain::CurrentRings() const {
  Rings rings;
  rings.len = stream_.RingLen;
  rings.generation = stream_.Generation;
  const auto holdsRing = [&](const std::vector<Frame>& ring) {
    return std::cmp_greater_equal(ring.size(), rings.len);
  };
  rings.sized = rings.len > 0 && holdsRing(stream_.CaptureRing) && holdsRing(stream_.PlayRing) &&
                std::all_of(stream_.StageRing.begin(), stream_.StageRing.end(), holdsRing);
  rings.capture = stream_.CaptureRing.data();
  rings.play = stream_.PlayRing.data();
  for (int s = 0; s < kStageRingCount; ++s) rings.stage[s] = stream_.StageRing[s].data();
  return rings;
}

bool EffectChain::RunPass(int32_t start, int32_t end) {
  const Rings rings = CurrentRings();
  Check(rings.sized, "stream rings not allocated");
  Check(0 <= start && start <= end && end < rings.len, "block outside the rings");
  // Whatever the pass does not reach stays silent: a pass abandoned by an error must not
  // let the block's audio of one ring period ago be played again.
  std::fill(rings.play + start, rings.play + end + 1, Frame{});

  const double inGain = stream_.InGain[0];
  for (int32_t i = start; i <= end; ++i) {
    rings.stage[0][i].left = ClipRound(rings.capture[i].left * inGain);
  }

  int current = 0;
  for (EffectIndex effect : kPassOrder) {
    if (RunEffect(effect, rings, current, start, end)) {
      // An effect may let pending events run (the equaliser); one of them may have
      // restarted the stream, and this block then belongs to rings that are gone.
      if (CurrentRings() != rings) return false;
      current = kEffectCatalogue[effect].ring;
    }
    if (effect == kLastMonoEffect) {
      Frame* cur = rings.stage[current];
      for (int32_t i = start; i <= end; ++i) cur[i].right = cur[i].left;
    }
  }

  const Frame* cur = rings.stage[current];
  const double outLeft = stream_.OutGain[0];
  const double outRight = stream_.OutGain[1];
  for (int32_t i = start; i <= end; ++i) {
    rings.play[i].left = ClipRound(cur[i].left * outLeft);
    rings.play[i].right = ClipRound(cur[i].right * outRight);
  }
  return true;
}

bool EffectChain::RunEffect(EffectIndex effect, const Rings& rings, int current, int32_t start,
                            int32_t end) {
  EffectUnit* unit = units_[effect].get();
  if (unit == nullptr || !IsEffectOn(FxParam, effect)) return false;
  // Events may have run since the effect before (see vector_state.h).
  ClearUpperVectorState();
  // A setting that cannot run with these rings (an impossible pitch ratio) counts as off:
  // the rest of the chain plays on, and the ring is seeded when the effect first runs.
  bool ready = false;
  TrapErrors(*environment_.errorCatch, [&] { ready = unit->ReadyFor(FxParam, Shape()); });
  if (!ready) return false;

  Frame* own = rings.stage[kEffectCatalogue[effect].ring];
  if (FxResync[effect]) {
    // A fresh history made of the present signal, not what the ring held when the
    // effect last ran.
    FxResync[effect] = false;
    std::copy_n(rings.stage[current], rings.len, own);
  }
  const PassGuard guard(*this, rings);
  unit->Run(StageBlock{rings.stage[current], own, rings.len, start, end, &guard,
                       environment_.runPendingEvents});
  return true;
}

}  // namespace ampora
