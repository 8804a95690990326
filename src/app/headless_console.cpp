#include "app/headless_console.h"

#include <charconv>
#include <optional>
#include <vector>

#include "effects/effect_catalogue.h"
#include "live/level_fader.h"
#include "util/text.h"

namespace ampora {

namespace {

constexpr int32_t kBankCount = 12;
constexpr char kCommandList[] =
    "bank N, store N, bypass, tuner, start, level in|out DB, effect NAME on|off, status, quit";

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    const size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  return words;
}

// A whole number within lo..hi, with an optional sign.
std::optional<int32_t> Number(std::string_view text, int32_t lo, int32_t hi) {
  if (text.starts_with('+') && text.size() > 1 && text[1] != '-') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  if (value < lo || value > hi) return {};
  return value;
}

std::optional<int> EffectByName(std::string_view name) {
  for (int effect = 0; effect < kEffectCount; ++effect) {
    const EffectSpec& entry = kEffectCatalogue[static_cast<size_t>(effect)];
    if (EqualsIgnoreCase(name, entry.name) || EqualsIgnoreCase(name, entry.button)) return effect;
  }
  return {};
}

}  // namespace

HeadlessConsole::HeadlessConsole(LivePath& live, ModelView& view, EventLog& log,
                                 std::ostream& errors, std::function<void()> quit)
    : live_(live), view_(view), log_(log), errors_(errors), quit_(std::move(quit)) {}

void HeadlessConsole::Run(std::string_view line) {
  const std::vector<std::string_view> words = Words(line);
  if (words.empty()) return;
  const std::string command = LowerAscii(words[0]);
  const size_t arguments = words.size() - 1;
  const auto word = [&](size_t i) { return i < words.size() ? words[i] : std::string_view(); };
  std::string error;
  if ((command == "bank" || command == "store") && arguments == 1) {
    error = Bank(word(1), command == "store");
  } else if (command == "level" && (arguments == 2 || arguments == 3)) {
    error = Level(word(1), word(2), word(3));
  } else if (command == "effect" && arguments == 2) {
    error = Effect(word(1), word(2));
  } else if (arguments != 0) {
    error = "unknown command";
  } else if (command == "bypass") {
    live_.ButtonClicked(kBypassButton);
  } else if (command == "tuner") {
    live_.ButtonClicked(kTunerButton);
  } else if (command == "start") {
    live_.ButtonClicked(kStartButton);
  } else if (command == "status") {
    log_.Say(StatusLine(live_, view_));
  } else if (command == "quit") {
    quit_();
  } else {
    error = "unknown command";
  }
  if (!error.empty()) Refuse(line, error);
}

void HeadlessConsole::TooLong() {
  errors_ << "ampora: a command line longer than " << kMaxCommandBytes << " bytes was ignored"
          << std::endl;
}

void HeadlessConsole::Refuse(std::string_view line, const std::string& why) {
  errors_ << "ampora: " << Quoted(std::string(TrimBlanks(line))) << ": " << why << " ("
          << kCommandList << ")" << std::endl;
}

// As the function key of that number; a store first arms "Store", which takes the name
// the bank box shows (the name of the bank last loaded or stored).
std::string HeadlessConsole::Bank(std::string_view number, bool store) {
  const std::optional<int32_t> n = Number(number, 1, kBankCount);
  if (!n) return "the bank is a number from 1 to 12";
  if (store) live_.ButtonClicked(kStoreButton);
  live_.KeyReleased(kKeyF1 + *n - 1, 0, BankSource::kCommand);
  return {};
}

// As a fader moved by hand: the input fader is linked; the output fader takes one level
// for both channels (linked) or one for each (split).
std::string HeadlessConsole::Level(std::string_view which, std::string_view left,
                                   std::string_view right) {
  const bool input = EqualsIgnoreCase(which, "in");
  if (!input && !EqualsIgnoreCase(which, "out")) return "the level is \"in\" or \"out\"";
  if (input && !right.empty()) return "the input level is one number";
  const std::optional<int32_t> l = Number(left, kFaderMinDb, kFaderMaxDb);
  const std::optional<int32_t> r = right.empty() ? l : Number(right, kFaderMinDb, kFaderMaxDb);
  if (!l || !r) return "a level is a whole number of dB from -50 to 50";
  const int fader = input ? kInFader : kOutFader;
  LevelFader& f = view_.Fader(fader);
  f.SetLinked(*l == *r);
  f.SetValueL(*l);
  f.SetValueR(*r);
  live_.LevelChanged(fader);
  log_.Say("level " + LevelText(live_.LevelState(), fader));
  return {};
}

// As a left click on the effect's button, when it changes the effect's state.
std::string HeadlessConsole::Effect(std::string_view name, std::string_view state) {
  const std::optional<int> effect = EffectByName(name);
  if (!effect) return "no effect of that name";
  const bool on = EqualsIgnoreCase(state, "on");
  if (!on && !EqualsIgnoreCase(state, "off")) return "an effect is switched \"on\" or \"off\"";
  if (view_.EffectOn(*effect) != on) live_.EffectClicked(*effect, kMouseLeft);
  log_.Say("effect " + std::string(FxName[static_cast<size_t>(*effect)]) + " " +
           (view_.EffectOn(*effect) ? "on" : "off"));
  return {};
}

}  // namespace ampora
