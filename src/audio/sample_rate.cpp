#include "audio/sample_rate.h"

namespace ampora {

std::string UnsupportedSampleRateText(int64_t rate) {
  return "このデバイスのサンプリング周波数 " + std::to_string(rate) +
         " Hz には対応していません (対応範囲: " + std::to_string(kMinSampleRate) + "～" +
         std::to_string(kMaxSampleRate) + " Hz)。";
}

}  // namespace ampora
