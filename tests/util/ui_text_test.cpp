#include "util/ui_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ampora {
namespace {

TEST(FillIn, PutsEachArgumentWhereItsMarkerStands) {
  struct Case {
    const char* text;
    std::initializer_list<std::string> arguments;
    const char* filled;
  };
  const Case cases[] = {
      {"%1 (%2)", {"a.wav", "no such file"}, "a.wav (no such file)"},
      // A translation may turn the order round.
      {"%2: %1", {"first", "second"}, "second: first"},
      {"%1 and %1", {"x"}, "x and x"},
      // A marker without its argument, a lone or final "%", and "%0" stay as written.
      {"%1 of %3", {"a", "b"}, "a of %3"},
      {"100% sure%", {}, "100% sure%"},
      {"%0", {"a"}, "%0"},
      // An argument holding a marker is not filled again.
      {"%1%2", {"%2", "b"}, "%2b"},
      {"範囲: %2～%3 Hz", {"1", "8000", "192000"}, "範囲: 8000～192000 Hz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FillIn(c.text, c.arguments), c.filled) << c.text;
  }
}

TEST(UiText, AnswersTheSourceWithoutAHookAndTheHooksTextWithOne) {
  EXPECT_EQ(UiText("Context", "設定"), "設定");
  SetUiTextHook(
      [](const char* context, const char* source) { return std::string(context) + "/" + source; });
  EXPECT_EQ(UiText("Context", "設定"), "Context/設定");
  SetUiTextHook({});
  EXPECT_EQ(UiText("Context", "設定"), "設定");
}

}  // namespace
}  // namespace ampora
