#include "live/setting_number.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/text.h"

namespace ampora {

double SettingNumber(std::string_view text) {
  text = TrimBlanks(text);
  // from_chars takes a minus sign only.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  Check(error == std::errc() && end == text.data() + text.size() && std::isfinite(value),
        "setting is not a number");
  return value;
}

float SettingFloat(std::string_view text) {
  const double number = SettingNumber(text);
  Check(std::fabs(number) <= std::numeric_limits<float>::max(), "setting outside float range");
  return static_cast<float>(number);
}

float SettingFloatOr(std::string_view text, float fallback) {
  float value = fallback;
  const bool read = TrapErrors([&] { value = SettingFloat(text); });
  return read ? value : fallback;
}

int32_t SettingInt32Or(std::string_view text, int32_t fallback) {
  int32_t value = fallback;
  const bool read = TrapErrors([&] { value = RoundInt32(SettingNumber(text)); });
  return read ? value : fallback;
}

}  // namespace ampora
