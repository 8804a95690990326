#include "live/level_fader.h"

#include <algorithm>

namespace ampora {

void FaderModel::SetValueL(int32_t value) {
  valueL_ = std::clamp(value, kFaderMinDb, kFaderMaxDb);
  if (linked_) valueR_ = valueL_;
}

void FaderModel::SetValueR(int32_t value) {
  valueR_ = std::clamp(value, kFaderMinDb, kFaderMaxDb);
  if (linked_) valueL_ = valueR_;
}

}  // namespace ampora
