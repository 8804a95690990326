#include "settings/setting_number.h"

#include <charconv>
#include <cmath>
#include <type_traits>

#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/text.h"

namespace ampora {

template <class T>
std::optional<T> ParseSettingNumber(std::string_view text) {
  static_assert(std::is_floating_point_v<T>);
  text = TrimBlanks(text);
  // from_chars takes a "-" but no "+"; "+-5" stays refused.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  T value{};
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

template std::optional<double> ParseSettingNumber<double>(std::string_view);
template std::optional<float> ParseSettingNumber<float>(std::string_view);

int32_t SettingInt32(std::string_view text) {
  const std::optional<double> value = ParseSettingNumber<double>(text);
  Check(value.has_value(), "setting is not a number");
  return RoundInt32(*value);
}

}  // namespace ampora
