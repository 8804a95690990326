#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Small text helpers shared by the settings store and the utilities. Text is UTF-8;
// a blank is a space or a tab.
//
// Thread: any (pure functions).

namespace ampora {

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The text without leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);

// The value in decimal with leading zeros up to the given width (as printf's "%0*d":
// 7 -> "07", 123 -> "123", -5 -> "-5").
std::string ZeroPadded(int64_t value, int width);

// The text trimmed of leading and trailing blanks, then cut before its first NUL.
std::string CutAtNul(std::string_view text);

// The text cut before its first NUL (nothing trimmed).
std::string_view BeforeNul(std::string_view text);

// The longest prefix of at most maxBytes bytes that does not end inside a UTF-8
// sequence: what a fixed-size read buffer keeps of a longer text.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes);

// ASCII-only case folding: names of sections, keys and stores match case-insensitively,
// bytes of other characters compare exactly.
std::string LowerAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Length in bytes of the UTF-8 character starting at text[pos] (1 for a byte that does
// not start a complete, well-formed sequence, so any byte string splits into pieces).
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

}  // namespace ampora
