#pragma once

// Settings keys (section "conf", text values, default empty) that start-up reads into
// DeviceConfig.

namespace ampora {

inline constexpr const char kAudioApiKey[] = "AudioApi";
inline constexpr const char kWavInFileKey[] = "WavInFile";
inline constexpr const char kWavOutFileKey[] = "WavOutFile";

}  // namespace ampora
