#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "audio/stream_buffers.h"
#include "effects/bank_transfer.h"
#include "live/level_fader.h"

// The input and output levels: the faders' values in dB (LevelIn, LevelOut, left and
// right), the gain factors that the audio path multiplies with (InGain and OutGain of the
// stream buffers; only InGain[0] reaches the sound) and the status texts that echo them.
// The gains follow the faders at once and take effect with the next block.
//
// Thread: UI thread.

namespace ampora {

enum FaderIndex : int { kInFader = 0, kOutFader = 1 };

class Levels {
 public:
  // The faders and the buffers must outlive the object.
  Levels(LevelFader& in, LevelFader& out, StreamBuffers& gains);
  Levels(const Levels&) = delete;
  Levels& operator=(const Levels&) = delete;

  std::array<int32_t, 2> LevelIn{};
  std::array<int32_t, 2> LevelOut{};

  // The fader's values become its levels and gains; returns the status text.
  std::string LevelChanged(int fader);
  // Both values of the fader back to 0 dB, its link as it was; returns the status text.
  std::string DoubleClicked(int fader);
  // A bank's levels through the faders. The output fader is linked exactly when its two
  // stored values are equal, and it is set so before the values are written: a fader
  // still linked from the previous bank would otherwise copy the right value over the
  // left one. The input fader is always linked, so its right value sets both. Returns the
  // status text of the output level.
  std::string LoadLevels(const BankLevels& stored);
  // The levels as a bank stores them.
  BankLevels Stored() const { return {LevelIn, LevelOut}; }

 private:
  LevelFader& Fader(int fader) const;

  std::array<LevelFader*, 2> faders_;
  StreamBuffers& gains_;
};

// The status texts: "IN : +05db", "OUT : L=-03db R=+00db".
std::string InLevelText(int32_t db);
std::string OutLevelText(int32_t left, int32_t right);

}  // namespace ampora
