#include "live/model_view.h"

namespace ampora {

namespace {

bool IsEffect(int effect) {
  return effect >= 0 && effect < kEffectCount;
}

}  // namespace

void ModelView::SetEffectButton(int effect, bool on) {
  if (IsEffect(effect)) effectOn_[static_cast<size_t>(effect)] = on;
}

bool ModelView::EffectOn(int effect) const {
  return IsEffect(effect) && effectOn_[static_cast<size_t>(effect)];
}

}  // namespace ampora
