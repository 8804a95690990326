#include "settings/profile_text.h"

#include "util/text.h"

namespace ampora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsSectionHeader(std::string_view trimmed) {
  return !trimmed.empty() && trimmed[0] == '[';
}

// The name inside "[...]": up to the first "]" (or the line's end), trimmed.
std::string_view SectionName(std::string_view trimmed) {
  const std::string_view inside = trimmed.substr(1);
  return TrimBlanks(inside.substr(0, inside.find(']')));
}

bool IsComment(std::string_view trimmed) {
  return !trimmed.empty() && (trimmed[0] == ';' || trimmed[0] == '#');
}

}  // namespace

ProfileText::Location ProfileText::Locate(std::string_view section, std::string_view key) const {
  Location location;
  const std::string_view text = text_;
  std::size_t pos = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  while (pos < text.size()) {
    const std::size_t newline = text.find('\n', pos);
    Line line{pos, newline == std::string_view::npos ? text.size() : newline,
              newline == std::string_view::npos ? text.size() : newline + 1};
    if (line.contentEnd > line.begin && text[line.contentEnd - 1] == '\r') --line.contentEnd;
    pos = line.end;

    const std::string_view trimmed =
        TrimBlanks(text.substr(line.begin, line.contentEnd - line.begin));
    if (IsSectionHeader(trimmed)) {
      if (location.sectionFound) break;  // only the first matching section counts
      if (EqualsIgnoreCase(SectionName(trimmed), section)) {
        location.sectionFound = true;
        location.insertAt = line.end;
      }
      continue;
    }
    if (!location.sectionFound || trimmed.empty()) continue;
    location.insertAt = line.end;
    const std::size_t equals = trimmed.find('=');
    if (IsComment(trimmed) || equals == std::string_view::npos) continue;
    if (EqualsIgnoreCase(TrimBlanks(trimmed.substr(0, equals)), key)) {
      location.keyLine = line;
      break;
    }
  }
  return location;
}

std::string ProfileText::LineEnd() const {
  const std::size_t newline = text_.find('\n');
  return newline != std::string::npos && newline > 0 && text_[newline - 1] == '\r' ? "\r\n" : "\n";
}

std::optional<std::string> ProfileText::Get(std::string_view section, std::string_view key) const {
  const Location location = Locate(TrimBlanks(section), TrimBlanks(key));
  if (!location.keyLine) return std::nullopt;
  const Line& line = *location.keyLine;
  const std::string_view content =
      std::string_view(text_).substr(line.begin, line.contentEnd - line.begin);
  return std::string(TrimBlanks(content.substr(content.find('=') + 1)));
}

bool ProfileText::HasSection(std::string_view section) const {
  return Locate(TrimBlanks(section), "").sectionFound;
}

bool ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (HasLineBreakOrNul(section) || section.find(']') != std::string_view::npos ||
      HasLineBreakOrNul(key) || key.empty() || key.find('=') != std::string_view::npos ||
      IsSectionHeader(key) || IsComment(key) || HasLineBreakOrNul(value)) {
    return false;
  }

  const Location location = Locate(section, key);
  if (location.keyLine) {
    // Keep the line's own spelling and indentation of the key.
    const Line& line = *location.keyLine;
    const std::size_t equals = text_.find('=', line.begin);
    std::size_t keyEnd = equals;
    while (keyEnd > line.begin && IsBlank(text_[keyEnd - 1])) --keyEnd;
    // Appended rather than "=" + value: GCC 12 at -O3 sees a false overlap in the latter.
    text_.replace(keyEnd, line.contentEnd - keyEnd, std::string("=").append(value));
    return true;
  }

  const std::string lineEnd = LineEnd();
  const std::string keyLine = std::string(key) + "=" + std::string(value) + lineEnd;
  if (location.sectionFound) {
    text_.insert(location.insertAt, EndOfLineBefore(location.insertAt) + keyLine);
    return true;
  }
  text_ += EndOfLineBefore(text_.size()) + "[" + std::string(section) + "]" + lineEnd + keyLine;
  return true;
}

std::string ProfileText::EndOfLineBefore(std::size_t pos) const {
  if (pos == 0 || text_[pos - 1] == '\n') return "";
  // A line cut off after its CR reads as if its line end were there: completing it keeps
  // the CR out of the line's value.
  if (text_[pos - 1] == '\r') return "\n";
  return LineEnd();
}

bool ProfileText::Remove(std::string_view section, std::string_view key) {
  const Location location = Locate(TrimBlanks(section), TrimBlanks(key));
  if (!location.keyLine) return false;
  text_.erase(location.keyLine->begin, location.keyLine->end - location.keyLine->begin);
  return true;
}

}  // namespace ampora
