#pragma once

#include <cstdint>
#include <string>

// Generated settings files for the start-up and shut-down fuzz run: one file per seed,
// always the same bytes for the same seed, so a failure can be replayed from its seed.
//
// A file is one of three kinds, mostly the first two:
// - lines put together from a grammar: known and unknown sections (duplicates, empty,
//   unterminated "[", odd case and blanks), every main setting and every bank key of
//   the sixteen effects, with values from a zoo of numbers far out of range, negative,
//   huge, NaN and infinity spelled in many ways, decimal commas, empty and blank texts,
//   the two sentinels of the store, device names, junk bytes and invalid UTF-8;
// - a complete file as the program writes it, then damaged by a few mutations (values
//   replaced, bytes flipped, junk and NUL bytes inserted, lines doubled, dropped or cut,
//   line ends changed);
// - raw bytes with a sprinkle of "[", "]", "=" and line ends.
// Now and then a line of up to about 1 MB, and rarely a file of several megabytes or one
// just over the size beyond which the store refuses to read a file.
//
// Thread: any (no shared state).

namespace ampora::reliability {

std::string GenerateSettingsFile(uint64_t seed);

}  // namespace ampora::reliability
