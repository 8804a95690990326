#include "live/levels.h"

#include <cstdlib>

#include "effects/db_to_gain.h"
#include "util/error_trap.h"
#include "util/text.h"

namespace ampora {

namespace {

// "+05", "-05", "+00", "-50": a sign for every value and at least two digits.
std::string SignedDb(int32_t db) {
  // Built by appending: GCC 12 at -O3 sees a false overlap in "-" + ZeroPadded(...).
  std::string text(db < 0 ? "-" : "+");
  return text.append(ZeroPadded(std::abs(int64_t{db}), 2)).append("db");
}

}  // namespace

Levels::Levels(LevelFader& in, LevelFader& out, StreamBuffers& gains)
    : faders_{&in, &out}, gains_(gains) {}

LevelFader& Levels::Fader(int fader) const {
  Check(fader == kInFader || fader == kOutFader, "level fader index");
  return *faders_[static_cast<size_t>(fader)];
}

std::string Levels::LevelChanged(int fader) {
  const LevelFader& source = Fader(fader);
  const std::array<int32_t, 2> values{source.ValueL(), source.ValueR()};
  const std::array<float, 2> gains{DbToGain(static_cast<float>(values[0])),
                                   DbToGain(static_cast<float>(values[1]))};
  if (fader == kInFader) {
    LevelIn = values;
    gains_.InGain = gains;
    return InLevelText(values[0]);
  }
  LevelOut = values;
  gains_.OutGain = gains;
  return OutLevelText(values[0], values[1]);
}

std::string Levels::DoubleClicked(int fader) {
  Fader(fader).SetValueL(0);
  Fader(fader).SetValueR(0);
  return LevelChanged(fader);
}

std::string Levels::LoadLevels(const BankLevels& stored) {
  LevelFader& in = Fader(kInFader);
  LevelFader& out = Fader(kOutFader);
  in.SetValueL(stored.LevelIn[0]);
  in.SetValueR(stored.LevelIn[1]);
  out.SetLinked(stored.LevelOut[0] == stored.LevelOut[1]);
  out.SetValueL(stored.LevelOut[0]);
  out.SetValueR(stored.LevelOut[1]);
  LevelChanged(kInFader);
  return LevelChanged(kOutFader);
}

std::string InLevelText(int32_t db) {
  return "IN : " + SignedDb(db);
}

std::string OutLevelText(int32_t left, int32_t right) {
  return "OUT : L=" + SignedDb(left) + " R=" + SignedDb(right);
}

}  // namespace ampora
