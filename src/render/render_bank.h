#pragma once

#include <string>

#include "audio/stream_buffers.h"
#include "effects/bank_transfer.h"
#include "effects/effect_chain.h"

// What a render takes from the settings file: the block length and a bank, read the way
// the program reads them at start-up. The caller keeps the file read-only
// (ReadOnlySettings): reads write back missing keys, which must not reach the disk.
//
// Thread: the rendering thread.

namespace ampora {

// The level faders' range in dB.
inline constexpr int32_t kFaderMinDb = -50;
inline constexpr int32_t kFaderMaxDb = 50;

// RenderError unless the settings file can be read and holds the section.
void CheckBankSection(const std::string& iniFile, const std::string& section);

// "BufferMS" of the file's section "conf"; the default 7 when absent or not a number.
float BufferMsSetting(const std::string& iniFile);

// Loads the bank as the program does: ResetEffectParams, the transfer from the section,
// the levels through the faders into the gains, every FxResync flag set and
// ApplyEffectParams for every effect. The rings must be allocated already (the pitch
// shifter sizes its buffers by BlockLen).
void LoadBank(EffectChain& chain, StreamBuffers& stream, const std::string& iniFile,
              const std::string& section);

// The gains of a bank's levels as the faders take them: each value limited to the
// faders' range; the input fader is always linked, so of its two values the one written
// last (the right one) sets both.
void ApplyFaderLevels(const BankLevels& levels, StreamBuffers& stream);

}  // namespace ampora
