#include "util/message_seam.h"

#include <iostream>
#include <utility>

namespace ampora {

namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

// One line: a box's lines side by side, each run of line breaks one space.
std::string OneLine(const std::string& text) {
  std::string line;
  bool inBreak = false;
  for (const char c : text) {
    const bool lineBreak = c == '\n' || c == '\r';
    if (lineBreak && !inBreak) line += ' ';
    if (!lineBreak) line += c;
    inBreak = lineBreak;
  }
  return line;
}

}  // namespace

void SetMessageHook(MessageHook hook) {
  Hook() = std::move(hook);
}

bool MessageHookSet() {
  return static_cast<bool>(Hook());
}

int16_t ShowMessage(const std::string& text, int32_t style, const std::string& caption) {
  const MessageHook& hook = Hook();
  if (hook) return hook(text, style, caption);
  std::cerr << "ampora: " << (caption.empty() ? "" : OneLine(caption) + ": ") << OneLine(text)
            << std::endl;
  return kIdOk;
}

}  // namespace ampora
