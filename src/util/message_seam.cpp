#include "util/message_seam.h"

#include <utility>

namespace ampora {

namespace {
MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}
}  // namespace

void SetMessageHook(MessageHook hook) {
  Hook() = std::move(hook);
}

int16_t ShowMessage(const std::string& text, int32_t style, const std::string& caption) {
  const MessageHook& hook = Hook();
  return hook ? hook(text, style, caption) : kIdOk;
}

}  // namespace ampora
