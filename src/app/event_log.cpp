#include "app/event_log.h"

#include <algorithm>
#include <cmath>

#include "audio/block_layout.h"
#include "effects/effect_catalogue.h"
#include "settings/setting_value.h"
#include "util/text.h"

namespace ampora {

namespace {

constexpr int32_t kPitchesPerSemitone = 4;
constexpr int32_t kCentsPerPitchStep = 25;

const char* SourceName(BankSource source) {
  switch (source) {
    case BankSource::kCommand:
      return "command";
    case BankSource::kMidi:
      return "MIDI";
    case BankSource::kKey:
      break;
  }
  return "key";
}

std::string BankText(int32_t n, const std::string& name) {
  return "bank " + ZeroPadded(n + 1, 2) + " " + Quoted(name);
}

// With its sign, as the faders' status line shows it.
std::string Db(int32_t db) {
  std::string text = db > 0 ? "+" : "";
  text += std::to_string(db);
  text += " dB";
  return text;
}

// The note with its octave and the cents it is off, to the cent: "tuner: E2 -3 cents",
// "tuner: A4" in tune.
std::string TunerText(const std::optional<NoteReading>& note, int32_t cents) {
  if (!note) return "tuner: no note";
  std::string text = "tuner: " + NoteName(note->note);
  if (cents != 0) {
    text += cents > 0 ? " +" : " ";
    text += std::to_string(cents);
    text += " cents";
  }
  return text;
}

}  // namespace

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    quoted += byte < 0x20 || byte == 0x7F ? '?' : c;
  }
  return quoted + "\"";
}

std::string LevelText(const Levels& levels, int fader) {
  if (fader == kInFader) return "in " + Db(levels.LevelIn[0]);
  const auto& out = levels.LevelOut;
  return "out " + (out[0] == out[1] ? Db(out[0]) : "L " + Db(out[0]) + " R " + Db(out[1]));
}

std::string OpenDeviceName(LivePath& live, int32_t direction) {
  const int32_t id = live.Engine().WaveDeviceId[direction == 1 ? 0 : 1];
  const std::string name = live.WaveDevices().DeviceName(direction, id);
  return name.empty() ? "default" : Quoted(name);
}

std::string StatusLine(LivePath& live, const ModelView& view) {
  StreamEngine& engine = live.Engine();
  std::string line = "status: stream ";
  if (engine.StreamRunning() == 1) {
    line += "running at " + std::to_string(engine.SampleRate) + " Hz";
  } else {
    line += "stopped";
  }
  line += engine.TunerOn == 1 ? ", tuner" : (engine.BypassOn == 1 ? ", bypass" : ", normal");
  line += view.TextNum().empty() ? ", working setting"
                                 : ", bank " + view.TextNum() + " " + Quoted(view.TextBank());
  line += ", level " + LevelText(live.LevelState(), kInFader) + ", " +
          LevelText(live.LevelState(), kOutFader) + ", effects";
  bool any = false;
  for (int effect = 0; effect < kEffectCount; ++effect) {
    if (!view.EffectOn(effect)) continue;
    line += ' ';
    line += kEffectCatalogue[effect].button;
    any = true;
  }
  if (!any) line += " none";
  line += live.MidiActive != 0 ? ", MIDI input open" : ", MIDI input closed";
  return line;
}

void EventLog::Say(const std::string& line) {
  out_ << line << std::endl;
}

void EventLog::StreamStarted() {
  StreamEngine& engine = live_.Engine();
  const BlockLayout& layout = engine.Layout();
  const auto ms = [](float value) { return SettingValue::Float(value).ToText(); };
  const float blockMs = static_cast<float>(layout.BlockLen) * 1000.0f /
                        static_cast<float>(std::max(engine.SampleRate, 1));
  Say("stream started: input " + OpenDeviceName(live_, 1) + ", output " + OpenDeviceName(live_, 0) +
      ", " + std::to_string(engine.SampleRate) + " Hz, blocks of " +
      std::to_string(layout.BlockLen) + " frames (" + ms(std::nearbyint(blockMs * 10) / 10) +
      " ms), lag " + ms(engine.DelayMinMS) + ".." + ms(engine.DelayMaxMS) + " ms");
  tunerShown_.reset();
}

void EventLog::StreamNotStarted() {
  Say("stream not started");
}

void EventLog::StreamLost() {
  Say("device lost: stream stopped");
}

void EventLog::BankLoaded(int32_t n, const std::string& name, BankSource source) {
  Say(BankText(n, name) + " loaded by " + SourceName(source));
}

void EventLog::BankStored(int32_t n, const std::string& name) {
  Say(BankText(n, name) + " stored");
}

void EventLog::ModeChanged(bool bypassOn, bool tunerOn) {
  // Bypass and tuner exclude each other: the one switched off is told first.
  if (tunerOn_ && !tunerOn) Say("tuner off");
  if (bypassOn_ && !bypassOn) Say("bypass off");
  if (!bypassOn_ && bypassOn) Say("bypass on");
  if (!tunerOn_ && tunerOn) Say("tuner on");
  bypassOn_ = bypassOn;
  tunerOn_ = tunerOn;
}

void EventLog::MidiInOpened(const std::string& name, bool opened) {
  Say(std::string(opened ? "MIDI input opened: " : "MIDI input not opened: ") +
      (name.empty() ? "no device" : Quoted(name)));
}

void EventLog::MidiInLost() {
  Say("MIDI input lost");
}

void EventLog::StartStalled(bool retrying) {
  Say(retrying ? "devices not run by their server: starting again"
               : "devices not run by their server");
}

void EventLog::TunerRead(const TunerReading& reading) {
  // Once per change of what a player reads: the note, or its cents to the whole cent.
  std::optional<TunerLine> line;
  if (reading.note) {
    line = TunerLine{reading.note->note, static_cast<int32_t>(std::lrint(reading.note->cents))};
  }
  if (tunerShown_ && *tunerShown_ == line) return;
  tunerShown_ = line;
  Say(TunerText(reading.note, line ? line->cents : 0));
}

}  // namespace ampora
