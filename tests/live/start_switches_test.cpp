#include "live/start_switches.h"

#include <gtest/gtest.h>

namespace ampora {
namespace {

TEST(StartSwitches, LookOnlyAtTheirOwnLettersAndTwoDigits) {
  struct Case {
    const char* arguments;
    bool startForF;
    std::optional<int32_t> keyCode;
    bool startForS;
  };
  const Case cases[] = {
      {"F05", true, 116, false}, {"F5", true, {}, false},         {"F13", true, 124, false},
      {"f05", false, {}, false}, {"S", false, {}, true},          {"FS01", true, {}, true},
      {"F1 2", true, {}, false}, {"x F12 F03", true, 123, false}, {"", false, {}, false},
  };
  for (const Case& c : cases) {
    const StartSwitches s = ParseStartSwitches(c.arguments);
    EXPECT_EQ(s.startForF, c.startForF) << c.arguments;
    EXPECT_EQ(s.keyCode, c.keyCode) << c.arguments;
    EXPECT_EQ(s.startForS, c.startForS) << c.arguments;
  }
}

TEST(StartSwitches, TheProgramPathIsNoArgument) {
  const char* alone[] = {"/opt/FS/ampora"};
  EXPECT_EQ(JoinArguments(1, alone), "");
  EXPECT_FALSE(ParseStartSwitches(JoinArguments(1, alone)).startForF);
  const char* withArguments[] = {"/opt/FS/ampora", "--quiet", "F03"};
  EXPECT_EQ(JoinArguments(3, withArguments), "--quiet F03");
}

}  // namespace
}  // namespace ampora
