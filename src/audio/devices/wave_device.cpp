#include "audio/devices/wave_device.h"

#include "audio/stream_format.h"
#include "util/ui_text.h"

namespace ampora {

WaveFormat StreamWaveFormat(int32_t sampleRate) {
  return WaveFormat{1, Channels, sampleRate, sampleRate * BlockAlign, BlockAlign, BitsPerSample};
}

bool IsStreamWaveFormat(const WaveFormat& format) {
  return IsSupportedSampleRate(format.samplesPerSec) &&
         format == StreamWaveFormat(format.samplesPerSec);
}

std::string DeviceErrorText(int32_t code) {
  switch (code) {
    case kDeviceOk:
      return UiText("DeviceError", "エラーはありません。");
    case kDeviceBadId:
      return UiText("DeviceError", "指定されたデバイスは存在しません。");
    case kDeviceBadFormat:
      return UiText("DeviceError", "このデバイスは指定された形式に対応していません。");
    case kDeviceNotOpen:
      return UiText("DeviceError", "デバイスが開かれていません。");
    case kDeviceQueueFull:
      return UiText("DeviceError", "デバイスのバッファが一杯です。");
    case kDeviceLost:
      return UiText("DeviceError", "オーディオデバイスとの接続が切れました。");
    default:
      return UiText("DeviceError", "デバイスでエラーが発生しました。");
  }
}

int32_t DeviceFailure::Fail(int32_t code, std::string detail) {
  code_ = code;
  detail_ = std::move(detail);
  return code;
}

std::string DeviceFailure::Text(int32_t code) const {
  return code == code_ && !detail_.empty() ? detail_ : DeviceErrorText(code);
}

}  // namespace ampora
