#include "util/ui_text.h"

#include <utility>
#include <vector>

namespace ampora {

namespace {

UiTextHook& Hook() {
  static UiTextHook hook;
  return hook;
}

}  // namespace

void SetUiTextHook(UiTextHook hook) {
  Hook() = std::move(hook);
}

std::string UiText(const char* context, const char* source) {
  const UiTextHook& hook = Hook();
  return hook ? hook(context, source) : std::string(source);
}

std::string FillIn(const std::string& text, std::initializer_list<std::string> arguments) {
  const std::vector<std::string> args(arguments);
  std::string filled;
  for (size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '%' && next >= '1' && next <= '9') {
      const auto index = static_cast<size_t>(next - '1');
      if (index < args.size()) {
        filled += args[index];
        ++i;
        continue;
      }
    }
    filled += text[i];
  }
  return filled;
}

}  // namespace ampora
