#pragma once

#include <cstdint>
#include <string_view>

// Numbers in settings text as start-up and the window placement read them: a decimal
// number with blanks around it and an optional sign; no locale is involved.
//
// Thread: any (pure functions).

namespace ampora {

// The value of the text; text that is no number, NaN and infinities raise kFailedCheck.
double SettingNumber(std::string_view text);
// As a 32-bit float; a value beyond the float range raises too.
float SettingFloat(std::string_view text);

// The value of the text, or the fallback when the text is no number or leaves the type's
// range: what a hand-edited setting falls back to.
float SettingFloatOr(std::string_view text, float fallback);
int32_t SettingInt32Or(std::string_view text, int32_t fallback);

}  // namespace ampora
