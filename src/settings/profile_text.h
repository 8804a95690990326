#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of a profile file, read and edited in memory.
//
// Format: "[section]" header lines, each followed by "key=value" lines. Section and key
// names match case-insensitively (ASCII letters), and the first matching section and,
// inside it, the first matching key win. Blanks around names and values are trimmed.
// Lines starting with ";" or "#" are comments; lines before the first section, lines
// without "=" and anything else are kept as they are but never match. A UTF-8 byte
// order mark before the first line and CRLF line ends are accepted.
//
// Edits change only the line concerned: a value is replaced in place, a new key goes
// after the last non-blank line of its section, a new section at the end of the text.
// New lines end like the text's first line (CRLF or LF).
//
// Any byte string is accepted as text (binary bytes, NUL bytes, very long lines).
//
// Thread: any (no shared state).

namespace ampora {

class ProfileText {
 public:
  explicit ProfileText(std::string text) : text_(std::move(text)) {}

  const std::string& text() const { return text_; }

  // The value of the first matching key of the first matching section.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // True when the text has a section of that name.
  bool HasSection(std::string_view section) const;

  // Sets the value; false (and the text unchanged) when the line could not be read back
  // as written: a section with "]", a key that is empty, holds "=" or starts with "[",
  // ";" or "#", or a line break or NUL in any of the three.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  // Removes the line of the first matching key; false when there was none.
  bool Remove(std::string_view section, std::string_view key);

 private:
  struct Line {
    std::size_t begin;       // first byte
    std::size_t contentEnd;  // end of the content, before "\r\n" or "\n"
    std::size_t end;         // after the line end (== contentEnd on an unterminated line)
  };
  struct Location {
    bool sectionFound = false;
    std::size_t insertAt = 0;  // after the last non-blank line of the section
    std::optional<Line> keyLine;
  };

  Location Locate(std::string_view section, std::string_view key) const;
  std::string LineEnd() const;
  // What ends the line before pos when a line is put there: nothing at the start of a
  // line, else the line end that the line lacks.
  std::string EndOfLineBefore(std::size_t pos) const;

  std::string text_;
};

}  // namespace ampora
