#include "live/main_settings.h"

#include "audio/devices/device_settings_keys.h"
#include "live/setting_number.h"
#include "settings/settings_store.h"

namespace ampora {

namespace {

int32_t ReadInt32(const char* key, int32_t defaultValue) {
  return SettingInt32Or(ReadSetting(key, SettingValue::Int32(defaultValue)), defaultValue);
}

float ReadFloat(const char* key, float defaultValue) {
  return SettingFloatOr(ReadSetting(key, SettingValue::Float(defaultValue)), defaultValue);
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
}

DeviceConfig ReadDeviceConfig() {
  DeviceConfig config;
  config.api = ReadText(kAudioApiKey);
  config.wavInputPath = ReadText(kWavInFileKey);
  config.wavRecorderPath = ReadText(kWavOutFileKey);
  return config;
}

}  // namespace ampora
