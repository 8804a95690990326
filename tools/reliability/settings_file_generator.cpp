#include "reliability/settings_file_generator.h"

#include <array>
#include <cinttypes>
#include <cstdio>
#include <string_view>
#include <vector>

#include "audio/devices/device_settings_keys.h"
#include "effects/bank_transfer.h"
#include "effects/effect_catalogue.h"
#include "live/banks.h"
#include "midi/midi_ports.h"
#include "settings/profile_file.h"
#include "util/text.h"

namespace ampora::reliability {

namespace {

using namespace std::string_view_literals;

// splitmix64: small, fast, and the same sequence on every platform (the standard
// distributions are not), so that a seed names the same file everywhere.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 <= result < n (n > 0).
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  // True once in n times.
  bool OneIn(std::size_t n) { return Below(n) == 0; }
  template <class List>
  const auto& Pick(const List& list) {
    return list[Below(std::size(list))];
  }

 private:
  uint64_t state_;
};

// The settings of section "conf" that start-up reads, and the keys of the window and the
// editor that share the section.
constexpr std::array kMainKeys = {"LogError"sv,
                                  "ErrorCatch"sv,
                                  "AltFont"sv,
                                  "BufferMS"sv,
                                  "DelayMinMS"sv,
                                  "DelayMaxMS"sv,
                                  "DeviceIn"sv,
                                  "DeviceOut"sv,
                                  "MidiInDeviceName"sv,
                                  "MidiCh"sv,
                                  "UseMIDIF"sv,
                                  "LangMode"sv,
                                  "MixerApp"sv,
                                  "WindowLeft"sv,
                                  "WindowTop"sv,
                                  "WindowState"sv,
                                  "WindowHeight"sv,
                                  "WindowWidth"sv,
                                  "WindowLeftFX"sv,
                                  "WindowTopFX"sv,
                                  std::string_view(kAudioApiKey),
                                  std::string_view(kWavInFileKey),
                                  std::string_view(kWavOutFileKey),
                                  std::string_view(kMidiApiKey)};

constexpr std::array kLevelKeys = {"LevelInL"sv, "LevelInR"sv, "LevelOutL"sv, "LevelOutR"sv};

// Values that have tripped readers of numbers and texts somewhere.
constexpr std::array kValueZoo = {"0"sv,
                                  "1"sv,
                                  "-1"sv,
                                  "2"sv,
                                  "7"sv,
                                  "15"sv,
                                  "16"sv,
                                  "17"sv,
                                  "20"sv,
                                  "30"sv,
                                  "31"sv,
                                  "50"sv,
                                  "51"sv,
                                  "-50"sv,
                                  "-51"sv,
                                  "70"sv,
                                  "999"sv,
                                  "1000"sv,
                                  "1001"sv,
                                  "0.5"sv,
                                  "1.5"sv,
                                  "2.5"sv,
                                  "0.99"sv,
                                  "1234.5"sv,
                                  "-0"sv,
                                  "-0.0"sv,
                                  "+3"sv,
                                  "+-5"sv,
                                  "--5"sv,
                                  "-9999"sv,
                                  "32767"sv,
                                  "32768"sv,
                                  "-32769"sv,
                                  "65536"sv,
                                  "2147483647"sv,
                                  "2147483648"sv,
                                  "-2147483648"sv,
                                  "-2147483649"sv,
                                  "2147483647.5"sv,
                                  "-2147483648.5"sv,
                                  "4294967296"sv,
                                  "9223372036854775808"sv,
                                  "1e9"sv,
                                  "-1e9"sv,
                                  "1e38"sv,
                                  "3.4028235e38"sv,
                                  "3.5e38"sv,
                                  "-3.5e38"sv,
                                  "1e308"sv,
                                  "1e309"sv,
                                  "-1e308"sv,
                                  "1e-45"sv,
                                  "1e-46"sv,
                                  "1e-320"sv,
                                  "4.9e-324"sv,
                                  "NaN"sv,
                                  "nan"sv,
                                  "-nan"sv,
                                  "NAN(123)"sv,
                                  "inf"sv,
                                  "-inf"sv,
                                  "Infinity"sv,
                                  "-INFINITY"sv,
                                  "1.#INF"sv,
                                  "1.#QNAN"sv,
                                  "1,5"sv,
                                  "7,0"sv,
                                  "1.000,5"sv,
                                  "0x10"sv,
                                  "0X1p3"sv,
                                  "1e"sv,
                                  "e5"sv,
                                  "."sv,
                                  "-"sv,
                                  "+"sv,
                                  ""sv,
                                  "   "sv,
                                  "\t"sv,
                                  "***"sv,
                                  "ISDEFAULT"sv,
                                  "isdefault"sv,
                                  "12abc"sv,
                                  "abc"sv,
                                  "\xEF\xBC\x91\xEF\xBC\x92"sv,
                                  "demo guitar"sv,
                                  "Test Tone"sv,
                                  "silence"sv,
                                  "WAV file"sv,
                                  "null"sv,
                                  "WAV recorder"sv,
                                  "keys A"sv,
                                  "KEYS B"sv,
                                  "gone"sv,
                                  "jack"sv,
                                  "alsa"sv,
                                  "pulse"sv,
                                  " JACK "sv,
                                  "/dev/zero"sv,
                                  "/nonexistent/x.wav"sv,
                                  ".."sv,
                                  "NoName"sv,
                                  "\xE3\x82\xA2\xE3\x83\xB3\xE3\x83\x9D"sv,
                                  "\xE9\x9F"sv,
                                  "\xC0\xAF"sv,
                                  "\xED\xA0\x80"sv,
                                  "\xF4\x90\x80\x80"sv,
                                  "\xFF\xFE"sv,
                                  "a\0b"sv,
                                  "["sv,
                                  "]"sv,
                                  "="sv,
                                  "=="sv,
                                  ";x"sv,
                                  "#x"sv};

// Fragments that matter to the parser, for junk with some structure in it.
constexpr std::array kParserBytes = {
    "["sv, "]"sv, "="sv,  "\n"sv,           "\r\n"sv, "\r"sv,      " "sv,     "\t"sv,
    ";"sv, "#"sv, "\0"sv, "\xEF\xBB\xBF"sv, "conf"sv, "Current"sv, "Bank01"sv};

constexpr std::array kLineEnds = {"\n"sv, "\r\n"sv, "\r"sv};
constexpr std::array kSeparators = {"="sv, " = "sv, "\t=\t"sv, "=="sv, " ="sv, "= "sv};

constexpr int kBankCount = 12;
constexpr std::size_t kMaxHugeLine = 1u << 20;

class FileWriter {
 public:
  explicit FileWriter(uint64_t seed) : random_(seed) {}

  std::string File() {
    std::string text;
    const std::size_t kind = random_.Below(20);
    if (kind < 9) {
      text = FromGrammar();
    } else if (kind < 19) {
      text = Mutated(WholeFile());
    } else {
      text = Junk(random_.Below(4096));
    }
    if (random_.OneIn(400)) InsertAtLineStart(text, HugeLine());
    return text;
  }

  // Many copies of a file's lines: several megabytes of settings.
  std::string HugeFile() {
    std::string body = random_.OneIn(2) ? WholeFile() : FromGrammar();
    body += "\n";
    const std::size_t target = (2u << 20) + random_.Below(4u << 20);
    std::string text;
    text.reserve(target + body.size());
    while (text.size() < target) text += body;
    return text;
  }

  // A file the store must refuse: just over its size limit.
  std::string OversizeFile() {
    std::string text = WholeFile();
    text.resize(kMaxProfileFileBytes + 1 + random_.Below(4096), 'x');
    return text;
  }

 private:
  std::string LineEnd() {
    return std::string(lineEnd_.empty() ? random_.Pick(kLineEnds) : lineEnd_);
  }

  std::string Junk(std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) {
      if (random_.OneIn(4)) {
        text += random_.Pick(kParserBytes);
      } else {
        text += static_cast<char>(random_.Below(256));
      }
    }
    return text;
  }

  std::string Number() {
    char buffer[64];
    switch (random_.Below(6)) {
      case 0:
        std::snprintf(buffer, sizeof buffer, "%" PRId32, static_cast<int32_t>(random_.Next()));
        break;
      case 1:
        std::snprintf(buffer, sizeof buffer, "%" PRId64, static_cast<int64_t>(random_.Next()));
        break;
      case 2: {
        // Any magnitude, from denormal to beyond a double, in every notation.
        const int exponent = static_cast<int>(random_.Below(660)) - 330;
        const double mantissa = static_cast<double>(random_.Next() % 2000001) / 1000000.0 - 1.0;
        std::snprintf(buffer, sizeof buffer, random_.OneIn(2) ? "%.*ge%d" : "%.*f",
                      static_cast<int>(random_.Below(18)), mantissa, exponent);
        break;
      }
      case 3:  // within the ranges the program uses, with a fraction
        std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(random_.Below(9)),
                      static_cast<double>(random_.Below(4000)) / 2.0 - 1000.0);
        break;
      case 4:
        return std::string(random_.Below(300) + 1, '0') + std::to_string(random_.Below(100));
      default:
        return std::to_string(random_.Below(200)) + "." + std::string(random_.Below(300), '9');
    }
    return buffer;
  }

  std::string Value() {
    switch (random_.Below(10)) {
      case 0:
      case 1:
      case 2:
        return Number();
      case 3:
        return Junk(random_.Below(64));
      case 4:  // a text longer than a read keeps, sometimes ending inside a character
        return std::string(random_.Below(200) + 200, 'v') +
               (random_.OneIn(2) ? "\xE9\x9F\xB3" : "");
      default: {
        std::string value(random_.Pick(kValueZoo));
        if (random_.OneIn(8)) value = std::string(random_.Below(3), ' ') + value + "  ";
        return value;
      }
    }
  }

  std::string BankKey() {
    if (random_.OneIn(6)) return std::string(random_.Pick(kLevelKeys));
    if (random_.OneIn(20)) return kBankNameKey;
    const int effect = static_cast<int>(random_.Below(kEffectCount));
    const std::string name(kEffectCatalogue[effect].name);
    switch (random_.Below(12)) {
      case 0:  // rows the bank files do not have
        return name + "-" + ZeroPadded(random_.Pick(std::array{0, 18, 99, 100}), 2);
      case 1:
        return name + "-" + std::to_string(random_.Below(kParamRows) + 1);
      case 2:
        return LowerAscii(name) + "-0" + std::to_string(random_.Below(10));
      default:
        return ParamKey(effect, static_cast<int>(random_.Below(kParamRows)));
    }
  }

  std::string Key() {
    switch (random_.Below(12)) {
      case 0:
        return Junk(random_.Below(16));
      case 1:
        return "Unknown" + std::to_string(random_.Below(50));
      case 2: {
        std::string key(random_.Pick(kMainKeys));
        return random_.OneIn(2) ? LowerAscii(key) : " " + key + "\t";
      }
      case 3:
      case 4:
      case 5:
        return std::string(random_.Pick(kMainKeys));
      default:
        return BankKey();
    }
  }

  std::string SectionName() {
    switch (random_.Below(14)) {
      case 0:
        return "conf";
      case 1:
      case 2:
        return "Current";
      case 3:
        return random_.Pick(std::array{"CONF", " conf ", "current", "Bank00", "Bank13", "Bank1", "",
                                       "conf]", "Unknown"});
      case 4:
        return Junk(random_.Below(12));
      default:
        return BankSection(static_cast<int>(random_.Below(kBankCount)));
    }
  }

  std::string SectionLine() {
    const std::string name = SectionName();
    switch (random_.Below(10)) {
      case 0:
        return "[" + name;  // unterminated
      case 1:
        return "  [" + name + "]  ; note";
      case 2:
        return "[" + name + "]" + Junk(random_.Below(8));
      default:
        return "[" + name + "]";
    }
  }

  std::string Line() {
    const std::size_t kind = random_.Below(100);
    if (kind < 15) return SectionLine();
    if (kind < 80) {
      const std::string indent = random_.OneIn(10) ? "  " : "";
      return indent + Key() + std::string(random_.OneIn(6) ? random_.Pick(kSeparators) : "=") +
             Value();
    }
    if (kind < 85) return std::string(random_.OneIn(2) ? ";" : "#") + Junk(random_.Below(20));
    if (kind < 90) return std::string(random_.Below(4), random_.OneIn(2) ? ' ' : '\t');
    if (kind < 95) return Junk(random_.Below(80));
    return random_.OneIn(2) ? Key() : "=" + Value();
  }

  std::string FromGrammar() {
    // One line end for the whole file, or a mix line by line.
    lineEnd_ = random_.OneIn(4) ? "" : random_.Pick(std::array{"\n"sv, "\n"sv, "\r\n"sv});
    std::string text = random_.OneIn(20) ? "\xEF\xBB\xBF" : "";
    const std::size_t lines = random_.OneIn(10) ? random_.Below(400) : random_.Below(60);
    for (std::size_t i = 0; i < lines; ++i) text += Line() + LineEnd();
    if (!text.empty() && random_.OneIn(5)) text.pop_back();  // unterminated last line
    return text;
  }

  // A file as a complete run leaves it: every main setting within its range, the working
  // setting and some banks with every key.
  std::string WholeFile() {
    lineEnd_ = random_.OneIn(5) ? "\r\n" : "\n";
    const std::string end = lineEnd_;
    const auto line = [&](std::string_view key, const std::string& value) {
      return std::string(key) + "=" + value + end;
    };
    std::string text = "[conf]" + end;
    text += line("LogError", "0") + line("ErrorCatch", "0") + line("AltFont", "1");
    text += line("BufferMS", std::to_string(random_.Below(30) + 1));
    text += line("DelayMinMS", std::to_string(random_.Below(100) + 1));
    text += line("DelayMaxMS", std::to_string(random_.Below(900) + 100));
    text += line("DeviceIn", random_.Pick(std::array{"***", "demo guitar", "test tone"}));
    text += line("DeviceOut", random_.Pick(std::array{"***", "null", "WAV recorder"}));
    text += line("MidiInDeviceName", random_.Pick(std::array{"***", "keys A", "keys B"}));
    text += line("MidiCh", std::to_string(static_cast<int>(random_.Below(17)) - 1));
    text += line("UseMIDIF", std::to_string(random_.Below(2)));
    text += line("LangMode", "0") + line("WindowLeft", std::to_string(random_.Below(20000)));
    text += line("WindowTop", std::to_string(random_.Below(15000)));
    text += line("WindowState", std::to_string(random_.Below(3)));
    for (int bank = -1; bank < kBankCount; ++bank) {
      if (bank >= 0 && random_.OneIn(2)) continue;
      text += "[" + BankSection(bank) + "]" + end;
      if (bank >= 0) text += line(kBankNameKey, "Bank " + std::to_string(bank));
      for (std::string_view key : kLevelKeys) {
        text += line(key, std::to_string(static_cast<int>(random_.Below(101)) - 50));
      }
      for (int effect = 0; effect < kEffectCount; ++effect) {
        const EffectSpec& entry = kEffectCatalogue[effect];
        text += line(ParamKey(effect, 0), std::to_string(random_.Below(2)));
        for (int p = 0; p < entry.paramCount; ++p) {
          const ParamSpec& param = entry.params[p];
          const auto span = static_cast<std::size_t>(param.max - param.min + 1);
          text += line(ParamKey(effect, p + 1),
                       std::to_string(param.min + static_cast<int32_t>(random_.Below(span))));
        }
      }
    }
    return text;
  }

  // Start offsets of the lines of the text.
  static std::vector<std::size_t> LineStarts(const std::string& text) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' && i + 1 < text.size()) starts.push_back(i + 1);
    }
    return starts;
  }

  // The line [begin, end) around a random line start, its line end included.
  std::pair<std::size_t, std::size_t> RandomLine(const std::string& text) {
    const std::vector<std::size_t> starts = LineStarts(text);
    const std::size_t index = random_.Below(starts.size());
    const std::size_t end = index + 1 < starts.size() ? starts[index + 1] : text.size();
    return {starts[index], end};
  }

  void InsertAtLineStart(std::string& text, const std::string& line) {
    text.insert(RandomLine(text).first, line + LineEnd());
  }

  std::string HugeLine() {
    const std::size_t bytes = (64u << 10) + random_.Below(kMaxHugeLine - (64u << 10));
    switch (random_.Below(4)) {
      case 0:
        return std::string(random_.Pick(kMainKeys)) + "=" + std::string(bytes, '7');
      case 1:
        return BankKey() + "=" + Junk(bytes);
      case 2:
        return std::string(bytes, '[');
      default:
        return Key() + "=" + std::string(bytes, 'x');
    }
  }

  void Mutate(std::string& text) {
    if (text.empty()) {
      text = Line();
      return;
    }
    const auto [begin, end] = RandomLine(text);
    const std::size_t at = random_.Below(text.size());
    switch (random_.Below(11)) {
      case 0:
      case 1:
      case 2: {  // another value for a setting
        const std::size_t equals = text.find('=', begin);
        if (equals >= end) return;
        std::size_t valueEnd = text.find_first_of("\r\n", equals);
        if (valueEnd == std::string::npos || valueEnd > end) valueEnd = end;
        text.replace(equals + 1, valueEnd - equals - 1, Value());
        return;
      }
      case 3:
        text[at] = static_cast<char>(text[at] ^ (1u << random_.Below(8)));
        return;
      case 4:
        text.insert(at, random_.OneIn(3) ? std::string(1, '\0') : Junk(random_.Below(16) + 1));
        return;
      case 5:  // a line twice, somewhere else
        text.insert(RandomLine(text).first, text.substr(begin, end - begin));
        return;
      case 6:
        text.erase(begin, end - begin);
        return;
      case 7:  // cut off, as by a full disk
        text.resize(at);
        return;
      case 8: {  // a line end changed: CR only, CRLF, or none (two lines become one)
        const std::size_t newline = text.find('\n', at);
        if (newline == std::string::npos) return;
        text.replace(newline, 1, random_.Pick(std::array{"\r"sv, "\r\n"sv, ""sv}));
        return;
      }
      case 9:
        text.insert(begin, SectionLine() + LineEnd());
        return;
      default:
        text.insert(begin, Line() + LineEnd());
        return;
    }
  }

  std::string Mutated(std::string text) {
    std::size_t mutations = 1;
    while (mutations < 12 && !random_.OneIn(3)) ++mutations;
    for (std::size_t i = 0; i < mutations; ++i) Mutate(text);
    return text;
  }

  Random random_;
  std::string lineEnd_;  // empty: a random line end for every line
};

// Every so many seeds a file of several megabytes, and one too large to be read: at
// fixed seeds, so that a short run meets them as well.
constexpr uint64_t kHugeFileEvery = 20000;
constexpr uint64_t kOversizeFileEvery = 100000;

}  // namespace

std::string GenerateSettingsFile(uint64_t seed) {
  FileWriter writer(seed);
  if (seed % kOversizeFileEvery == kOversizeFileEvery - 1) return writer.OversizeFile();
  if (seed % kHugeFileEvery == kHugeFileEvery / 2) return writer.HugeFile();
  return writer.File();
}

}  // namespace ampora::reliability
