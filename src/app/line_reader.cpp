#include "app/line_reader.h"

namespace ampora {

std::vector<InputLine> LineReader::Add(std::string_view bytes) {
  std::vector<InputLine> lines;
  for (const char c : bytes) {
    if (c == '\n') {
      if (!skipping_) {
        if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
        lines.push_back({std::move(pending_), false});
      }
      pending_.clear();
      skipping_ = false;
    } else if (!skipping_) {
      // One byte more for a "\r" that the line break may still drop.
      if (pending_.size() >= maxLineBytes_ + (c == '\r' ? 1 : 0)) {
        lines.push_back({"", true});
        pending_.clear();
        skipping_ = true;
      } else {
        pending_ += c;
      }
    }
  }
  return lines;
}

std::vector<InputLine> LineReader::Finish() {
  std::vector<InputLine> lines = Add("\n");
  if (lines.size() == 1 && lines[0].text.empty() && !lines[0].tooLong) lines.clear();
  return lines;
}

}  // namespace ampora
