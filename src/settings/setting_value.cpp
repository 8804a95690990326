#include "settings/setting_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ampora {

namespace {

// Exponents (of ten) written without an exponent: 0.00001 .. 999999900000000.
constexpr int kPlainExponentMin = -5;
constexpr int kPlainExponentMax = 14;

// At most 7 significant digits, trailing zeros and a bare "." dropped.
std::string FloatText(float value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0.0f) return "0";

  // "-d.dddddde+XX": the digits rounded to 7 places, and the exponent after rounding.
  char scientific[32];
  std::snprintf(scientific, sizeof scientific, "%.6e", static_cast<double>(value));
  const std::string text = scientific;
  const bool negative = text[0] == '-';
  const std::size_t digitsAt = negative ? 1 : 0;
  std::string digits = text.substr(digitsAt, 1) + text.substr(digitsAt + 2, 6);
  const int exponent = std::atoi(text.c_str() + text.find('e') + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string body;
  if (exponent < kPlainExponentMin || exponent > kPlainExponentMax) {
    char exponentText[8];
    std::snprintf(exponentText, sizeof exponentText, "E%+03d", exponent);
    // Appended piece by piece: GCC 12 at -O3 sees a false overlap in "." + digits.
    body = digits.substr(0, 1);
    if (digits.size() > 1) body.append(".").append(digits, 1);
    body += exponentText;
  } else if (exponent < 0) {
    body = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
    body = digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
  } else {
    const std::size_t point = static_cast<std::size_t>(exponent) + 1;
    body = digits.substr(0, point) + "." + digits.substr(point);
  }
  return negative ? "-" + body : body;
}

}  // namespace

std::string SettingValue::ToText() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  if (const auto* number = std::get_if<float>(&value_)) return FloatText(*number);
  return std::to_string(std::get<int32_t>(value_));
}

}  // namespace ampora
