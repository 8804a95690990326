#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/sample_rate.h"
#include "effects/bank_transfer.h"

// The command line of the offline renderer:
//   ampora-render [options] INPUT OUTPUT
// Options take their value as the next argument or after "=" (--tail=2); "--" ends the
// options. See RenderUsage() for the list.
//
// Thread: any (pure functions).

namespace ampora {

// Longest tail of silence a render appends.
inline constexpr double kMaxTailSeconds = 3600.0;

struct RenderOptions {
  std::string input;
  std::string output;
  std::string iniFile;                      // empty: the program's settings file
  std::string section = kCurrentSection;    // the bank section to render through
  std::optional<float> blockMs;             // nothing: "BufferMS" of the settings file
  int32_t sampleRate = kDefaultSampleRate;  // of the chain and the output
  double tailSeconds = 0.0;                 // silence appended so echoes can ring out
  std::optional<uint64_t> seed;             // nothing: the reverb draws from the clock
  bool help = false;
};

// The options, or an error text saying what is wrong with the command line. With --help
// the rest need not be complete.
struct ParsedOptions {
  RenderOptions options;
  std::string error;  // empty when the command line is usable
};

// args: the arguments without the program's name.
ParsedOptions ParseRenderOptions(const std::vector<std::string>& args);

// The text --help prints.
std::string RenderUsage();

}  // namespace ampora
