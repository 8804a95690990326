#pragma once

// Decibels to a gain factor, used by the drive effects and the level faders.
// Thread: UI thread (called from ApplyEffectParams and the level faders).

namespace ampora {

// 0 when x <= -110 dB, else 10^(x / 20) rounded to a 32-bit float. Raises kOverflow when
// the factor does not fit a 32-bit float (above about 770 dB).
float DbToGain(float x);

}  // namespace ampora
