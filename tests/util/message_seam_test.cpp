#include "util/message_seam.h"

#include <gtest/gtest.h>

namespace ampora {
namespace {

// Without a window (a service, a terminal) nothing may be swallowed: each message is one
// line on standard error, whatever line breaks the box would have shown.
TEST(MessageSeam, AMessageWithNoWindowGoesToStandardErrorAsOneLine) {
  struct Case {
    std::string text, caption, line;
  };
  const Case cases[] = {
      {"the device is gone", "", "ampora: the device is gone\n"},
      {"この名前のデバイスを検出できませんでした\nUSB Audio", "",
       "ampora: この名前のデバイスを検出できませんでした USB Audio\n"},
      {"failed\r\n\r\nat start", "ampora", "ampora: ampora: failed at start\n"},
  };
  SetMessageHook({});
  ASSERT_FALSE(MessageHookSet());
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessage(c.text, kMbOk | kMbIconError, c.caption), kIdOk);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
  }
}

TEST(MessageSeam, AHookTakesTheMessageInstead) {
  std::string shown;
  SetMessageHook([&](const std::string& text, int32_t, const std::string&) {
    shown = text;
    return kIdCancel;
  });
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessage("a\nb", kMbOkCancel, ""), kIdCancel);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(shown, "a\nb");
  SetMessageHook({});
}

}  // namespace
}  // namespace ampora
