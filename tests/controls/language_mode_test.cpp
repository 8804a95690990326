#include "controls/language_mode.h"

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "support/settings_fixture.h"

namespace ampora {
namespace {

TEST(LanguageMode, JapaneseIdsAreABitTestThenTheModeThenTheGlyphs) {
  int reads = 0;
  auto mode = [&reads](int32_t value) {
    return [&reads, value] {
      ++reads;
      return value;
    };
  };
  EXPECT_EQ(DecideExplicitUiFont(0x0411, mode(0), false), 1);
  EXPECT_EQ(DecideExplicitUiFont(0x0411, mode(0), true), 0);
  EXPECT_EQ(DecideExplicitUiFont(0x0411, mode(1), false), 0);
  EXPECT_EQ(DecideExplicitUiFont(0x0411, mode(-1), false), 0);
  EXPECT_EQ(reads, 4);
  // Dutch, Russian and Swedish have both bits too; English and Italian (0x10) do not,
  // and for them the setting is not read at all.
  for (const int32_t id : {0x0413, 0x0419, 0x041D}) {
    EXPECT_EQ(DecideExplicitUiFont(id, mode(0), false), 1) << std::hex << id;
  }
  reads = 0;
  EXPECT_EQ(DecideExplicitUiFont(0x0409, mode(0), false), 0);
  EXPECT_EQ(DecideExplicitUiFont(0x0410, mode(0), false), 0);
  EXPECT_EQ(DecideExplicitUiFont(0, mode(0), false), 0);
  EXPECT_EQ(reads, 0);
}

TEST(LanguageMode, JapaneseTextCanBeShownWithTheInstalledFonts) {
  EXPECT_TRUE(CanShowJapanese()) << "the install script provides a Japanese font";
}

class LangModeSettingTest : public test::SettingsFixture {};

TEST_F(LangModeSettingTest, ReadsTheSettingWithZeroForAbsentOrUnreadableText) {
  EXPECT_EQ(ReadLangMode(), 0);
  WriteSetting("LangMode", SettingValue::Int32(1));
  EXPECT_EQ(ReadLangMode(), 1);
  WriteSetting("LangMode", SettingValue::Text("japanese"));
  EXPECT_EQ(ReadLangMode(), 0);
  // Read as every number of the settings is: whole text only, blanks and "+" allowed.
  WriteSetting("LangMode", SettingValue::Text("12abc"));
  EXPECT_EQ(ReadLangMode(), 0);
  WriteSetting("LangMode", SettingValue::Text("\t+2 "));
  EXPECT_EQ(ReadLangMode(), 2);
}

}  // namespace
}  // namespace ampora
