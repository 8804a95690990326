#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Numbers in settings text, the one reading every caller shares. Settings files are
// edited by hand and read while a desktop locale is active, so the reading ignores the
// locale: "." is always the decimal point.
//
// A number is an optional sign, decimal digits with an optional fraction and an optional
// exponent ("20", "-6", "+3", "12.5", ".5", "1e3"), blanks around it allowed. Anything
// else is no number: other text after the digits ("12abc"), hexadecimal ("0x10"), a
// decimal comma, NaN and infinity however spelled, and values beyond the type's range.
//
// Thread: any (pure functions).

namespace ampora {

// The number the text holds, or nothing. For callers that also take text that is no
// number (a device given by name or by number) or that fall back to a default.
// T is double or float; a float is read as a float, not narrowed from a double.
template <class T>
std::optional<T> ParseSettingNumber(std::string_view text);

// The value of a setting kept as an integer: a fraction is rounded to nearest, ties to
// even ("12.5" is 12, "13.5" is 14). Raises kFailedCheck when the text holds no number
// and kOverflow when the rounded value leaves the 32-bit range.
int32_t SettingInt32(std::string_view text);

}  // namespace ampora
