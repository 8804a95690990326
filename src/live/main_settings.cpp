#include "live/main_settings.h"

#include "audio/devices/device_settings_keys.h"
#include "settings/setting_number.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"

namespace ampora {

namespace {

// A hand-edited value that is no number reads as the default.
int32_t ReadInt32(const char* key, int32_t defaultValue) {
  const std::string text = ReadSetting(key, SettingValue::Int32(defaultValue));
  int32_t value = defaultValue;
  TrapErrors([&] { value = SettingInt32(text); });
  return value;
}

float ReadFloat(const char* key, float defaultValue) {
  const std::string text = ReadSetting(key, SettingValue::Float(defaultValue));
  return ParseSettingNumber<float>(text).value_or(defaultValue);
}

std::string ReadText(const char* key) {
  return ReadSetting(key, SettingValue::Text(""));
}

}  // namespace

MainSettings ReadMainSettings() {
  const MainSettings defaults;
  MainSettings s;
  s.LogError = ReadInt32("LogError", defaults.LogError);
  s.ErrorCatch = ReadInt32("ErrorCatch", defaults.ErrorCatch);
  s.AltFont = ReadInt32("AltFont", defaults.AltFont);
  s.BufferMS = ReadFloat("BufferMS", defaults.BufferMS);
  s.DelayMinMS = ReadFloat("DelayMinMS", defaults.DelayMinMS);
  s.DelayMaxMS = ReadFloat("DelayMaxMS", defaults.DelayMaxMS);
  s.DeviceIn = ReadText("DeviceIn");
  s.DeviceOut = ReadText("DeviceOut");
  s.MidiInDeviceName = ReadText("MidiInDeviceName");
  s.MidiCh = ReadInt32("MidiCh", defaults.MidiCh);
  s.UseMIDIF = ReadInt32("UseMIDIF", defaults.UseMIDIF);
  s.TunerA4 = CheckedTunerA4(ReadFloat("TunerA4", defaults.TunerA4));
  return s;
}

void WriteMainSettings(const MainSettings& s) {
  WriteSetting("DeviceIn", SettingValue::Text(s.DeviceIn));
  WriteSetting("DeviceOut", SettingValue::Text(s.DeviceOut));
  WriteSetting("BufferMS", SettingValue::Float(s.BufferMS));
  WriteSetting("DelayMaxMS", SettingValue::Float(s.DelayMaxMS));
  WriteSetting("DelayMinMS", SettingValue::Float(s.DelayMinMS));
  WriteSetting("UseMIDIF", SettingValue::Int32(s.UseMIDIF));
  WriteSetting("MidiInDeviceName", SettingValue::Text(s.MidiInDeviceName));
  WriteSetting("MidiCh", SettingValue::Int32(s.MidiCh));
  WriteSetting("TunerA4", SettingValue::Float(s.TunerA4));
}

DeviceConfig ReadDeviceConfig() {
  DeviceConfig config;
  config.api = ReadText(kAudioApiKey);
  config.wavInputPath = PathFromSettingsFile(ReadText(kWavInFileKey));
  config.wavRecorderPath = PathFromSettingsFile(ReadText(kWavOutFileKey));
  return config;
}

}  // namespace ampora
