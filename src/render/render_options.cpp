#include "render/render_options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace ampora {

namespace {

constexpr int kBankCount = 12;

struct UsageError {
  std::string text;
};

// The whole text as a number of type T, or a usage error naming the option.
template <class T>
T ParseNumber(std::string_view option, const std::string& text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    throw UsageError{std::string(option) + ": not a number: '" + text + "'"};
  }
  return value;
}

void ApplyOption(RenderOptions& options, std::string_view name, const std::string& value,
                 bool& bankGiven, bool& sectionGiven) {
  if (name == "--ini") {
    if (value.empty()) throw UsageError{"--ini: the file name is empty"};
    options.iniFile = value;
  } else if (name == "--section") {
    if (value.empty()) throw UsageError{"--section: the section name is empty"};
    options.section = value;
    sectionGiven = true;
  } else if (name == "--bank") {
    const auto bank = ParseNumber<int>(name, value);
    if (bank < 1 || bank > kBankCount) throw UsageError{"--bank: must be 1 to 12"};
    options.section = BankSection(bank - 1);
    bankGiven = true;
  } else if (name == "--block-ms") {
    const auto ms = ParseNumber<float>(name, value);
    if (!std::isfinite(ms)) throw UsageError{"--block-ms: not a finite number"};
    options.blockMs = ms;
  } else if (name == "--rate") {
    const auto rate = ParseNumber<int32_t>(name, value);
    if (!IsSupportedSampleRate(rate)) {
      throw UsageError{"--rate: must be " + std::to_string(kMinSampleRate) + " to " +
                       std::to_string(kMaxSampleRate) + " Hz"};
    }
    options.sampleRate = rate;
  } else if (name == "--tail") {
    const auto seconds = ParseNumber<double>(name, value);
    if (!(seconds >= 0.0 && seconds <= kMaxTailSeconds)) {
      throw UsageError{"--tail: must be 0 to 3600 seconds"};
    }
    options.tailSeconds = seconds;
  } else if (name == "--seed") {
    options.seed = ParseNumber<uint64_t>(name, value);
  }
  if (bankGiven && sectionGiven) throw UsageError{"--bank and --section exclude each other"};
}

bool TakesValue(std::string_view name) {
  return name == "--ini" || name == "--section" || name == "--bank" || name == "--block-ms" ||
         name == "--rate" || name == "--tail" || name == "--seed";
}

RenderOptions Parse(const std::vector<std::string>& args) {
  RenderOptions options;
  std::vector<std::string> files;
  bool bankGiven = false;
  bool sectionGiven = false;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
      files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (!TakesValue(name)) throw UsageError{"unknown option '" + name + "'"};
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      throw UsageError{name + ": a value is missing"};
    }
    ApplyOption(options, name, value, bankGiven, sectionGiven);
  }
  if (options.help) return options;
  if (files.size() != 2) throw UsageError{"expected an INPUT and an OUTPUT file"};
  options.input = files[0];
  options.output = files[1];
  if (options.output == "-") throw UsageError{"OUTPUT must be a file, not standard output"};
  return options;
}

}  // namespace

ParsedOptions ParseRenderOptions(const std::vector<std::string>& args) {
  ParsedOptions parsed;
  try {
    parsed.options = Parse(args);
  } catch (const UsageError& error) {
    parsed.error = error.text;
  }
  return parsed;
}

std::string RenderUsage() {
  return R"(Usage: ampora-render [options] INPUT OUTPUT

Renders an audio file through a bank of effects, block by block through the same
chain as the live program. INPUT is any file libsndfile reads (WAV, FLAC, AIFF,
Ogg...), at any sample rate; its left (or only) channel is used and converted to
the render's rate (--rate, 44100 Hz unless given), at which the chain runs. OUTPUT is
a 16-bit stereo WAV file at that rate with as many frames as the input, plus the tail.
OUTPUT is written only when the render succeeds; the settings file is only read.

Options:
  --ini FILE        settings file holding the bank (default: the program's own)
  --section NAME    bank section to use (default: Current)
  --bank N          bank N, 1 to 12 (the section BankNN)
  --block-ms X      block length in ms (default: BufferMS of the settings file, else 7;
                    limited to 1..30 as in the program)
  --rate HZ         sample rate of the chain and of OUTPUT, 22050 to 192000 (default
                    44100); delays, times and frequencies of the bank stay the same
  --tail SECONDS    silence appended so echoes and reverb ring out (default 0, at most 3600)
  --seed N          seed of the reverb's reflections, for reproducible renders
  -h, --help        this text

Exit status: 0 on success, 1 when the render fails, 2 for a wrong command line.
)";
}

}  // namespace ampora
