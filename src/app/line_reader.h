#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Standard input's lines as they arrive, in pieces of any size. A line ends at "\n"; a
// "\r" before it is dropped (a terminal or a script from another system). A line longer
// than the limit is not kept: it comes out once, marked too long, and the rest of it up
// to its line break is dropped, so no input can make the program hold more.
//
// Thread: any; one object per input.

namespace ampora {

struct InputLine {
  std::string text;  // empty when too long
  bool tooLong = false;
};

class LineReader {
 public:
  explicit LineReader(std::size_t maxLineBytes) : maxLineBytes_(maxLineBytes) {}

  // The lines these bytes complete.
  std::vector<InputLine> Add(std::string_view bytes);
  // At the end of the input: the last line, when it had no line break.
  std::vector<InputLine> Finish();

 private:
  std::size_t maxLineBytes_;
  std::string pending_;
  bool skipping_ = false;  // inside a line that was too long
};

}  // namespace ampora
