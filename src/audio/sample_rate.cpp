#include "audio/sample_rate.h"

#include "util/ui_text.h"

namespace ampora {

std::string UnsupportedSampleRateText(int64_t rate) {
  return FillIn(
      UiText("DeviceError",
             "このデバイスのサンプリング周波数 %1 Hz には対応していません "
             "(対応範囲: %2～%3 Hz)。"),
      {std::to_string(rate), std::to_string(kMinSampleRate), std::to_string(kMaxSampleRate)});
}

}  // namespace ampora
