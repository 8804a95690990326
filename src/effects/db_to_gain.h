#pragma once

// Decibels to a gain factor, as the drive effects and the level faders use it.
//
// Thread: any (pure function).

namespace ampora {

// 0 at or below -110 dB, else 10^(db / 20) rounded to a 32-bit float.
float DbToGain(float db);

}  // namespace ampora
