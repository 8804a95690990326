#pragma once

#include <cstdint>
#include <string>

// Fitting a text into a width.
//
// Thread: UI thread (measures go through the window toolkit).

namespace ampora {

// Anything that can tell how wide a text is drawn, in twips.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int32_t TextWidthTwips(const std::string& text) const = 0;
};

// The text, shortened to the longest leading piece (keepRight: trailing piece) of whole
// characters whose width is at most limitTwips. A text of fewer than 2 characters, or
// one that fits, comes back unchanged; a shortened text keeps at least 1 character.
std::string FitText(const std::string& text, const TextMeasure& measure, int32_t limitTwips,
                    bool keepRight);

}  // namespace ampora
