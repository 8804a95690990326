#include "settings/setting_value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace ampora {

namespace {

// Exponents (of ten) written without an exponent: 0.00001 .. 999999900000000.
constexpr int kPlainExponentMin = -5;
constexpr int kPlainExponentMax = 14;

// Numbers are written without the C library's formatting, which follows the locale: a
// desktop locale would turn the decimal point into a comma, or into a character of
// several bytes.
void AppendInteger(std::string& text, int32_t value) {
  char digits[16];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
  text.append(digits, result.ptr);
}

// At most 7 significant digits, trailing zeros and a bare "." dropped.
std::string FloatText(float value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0.0f) return "0";

  // "-d.dddddde+XX": the digits rounded to 7 places, and the exponent after rounding.
  char scientific[32];
  const auto written = std::to_chars(std::begin(scientific), std::end(scientific),
                                     static_cast<double>(value), std::chars_format::scientific, 6);
  const std::string_view text(scientific, static_cast<std::size_t>(written.ptr - scientific));
  const bool negative = text[0] == '-';
  const std::size_t digitsAt = negative ? 1 : 0;
  std::string digits(1, text[digitsAt]);
  digits.append(text.substr(digitsAt + 2, 6));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // The exponent: "e", its sign, at least two digits.
  const std::size_t e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
  if (text[e + 1] == '-') exponent = -exponent;

  std::string body(negative ? "-" : "");
  if (exponent < kPlainExponentMin || exponent > kPlainExponentMax) {
    body += digits[0];
    if (digits.size() > 1) body.append(".").append(digits, 1);
    body.append(exponent < 0 ? "E-" : "E+");
    if (std::abs(exponent) < 10) body += '0';
    AppendInteger(body, std::abs(exponent));
  } else if (exponent < 0) {
    body.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
  } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
    body.append(digits).append(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
  } else {
    const std::size_t point = static_cast<std::size_t>(exponent) + 1;
    body.append(digits, 0, point).append(".").append(digits, point);
  }
  return body;
}

}  // namespace

std::string SettingValue::ToText() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  if (const auto* number = std::get_if<float>(&value_)) return FloatText(*number);
  std::string text;
  AppendInteger(text, std::get<int32_t>(value_));
  return text;
}

}  // namespace ampora
