#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace ampora {

// A typed value handed to the settings store as a default or as a value to write. The
// type code travels with it; the store only uses it to turn the value into text.
class SettingValue {
 public:
  enum TypeCode : int16_t { kInt16 = 2, kInt32 = 3, kFloat = 4, kText = 8 };

  static SettingValue Int16(int16_t v) { return SettingValue(kInt16, int32_t{v}); }
  static SettingValue Int32(int32_t v) { return SettingValue(kInt32, v); }
  static SettingValue Float(float v) { return SettingValue(v); }
  static SettingValue Text(std::string v) { return SettingValue(std::move(v)); }

  TypeCode type() const { return type_; }

  // The text form: integers in plain decimal, floats with at most 7 significant digits
  // and no trailing zeros (7 -> "7", 12.5 -> "12.5"; an exponent only below 0.00001 and
  // from 1E+15 on: "1E+20"), text as is.
  std::string ToText() const;

 private:
  using Storage = std::variant<int32_t, float, std::string>;
  // Each kind is built in place: a temporary Storage trips GCC's maybe-uninitialized
  // analysis in sanitizer builds.
  SettingValue(TypeCode type, int32_t v) : type_(type), value_(std::in_place_type<int32_t>, v) {}
  explicit SettingValue(float v) : type_(kFloat), value_(std::in_place_type<float>, v) {}
  explicit SettingValue(std::string v)
      : type_(kText), value_(std::in_place_type<std::string>, std::move(v)) {}

  TypeCode type_;
  Storage value_;
};

}  // namespace ampora
