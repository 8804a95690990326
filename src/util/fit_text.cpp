#include "util/fit_text.h"

#include <vector>

#include "util/error_trap.h"
#include "util/text.h"

namespace ampora {

namespace {
// Byte offsets where the characters of the text start, plus the text's end.
std::vector<std::size_t> CharacterStarts(const std::string& text) {
  std::vector<std::size_t> starts;
  for (std::size_t pos = 0; pos < text.size(); pos += Utf8CharLength(text, pos)) {
    starts.push_back(pos);
  }
  starts.push_back(text.size());
  return starts;
}
}  // namespace

std::string FitText(const std::string& text, const TextMeasure& measure, int32_t limitTwips,
                    bool keepRight) {
  std::string result = text;
  TrapErrors([&] {
    const std::vector<std::size_t> starts = CharacterStarts(text);
    const std::size_t count = starts.size() - 1;
    if (count < 2 || measure.TextWidthTwips(text) <= limitTwips) return;
    // piece(n): the first (or last) n characters.
    const auto piece = [&](std::size_t n) {
      return keepRight ? text.substr(starts[count - n]) : text.substr(0, starts[n]);
    };
    for (std::size_t n = 2; n <= count; ++n) {
      if (measure.TextWidthTwips(piece(n)) > limitTwips) {
        result = piece(n - 1);
        return;
      }
    }
  });
  return result;
}

}  // namespace ampora
