#include <gtest/gtest.h>

#include <QStringList>
#include <string>

#include "controls/ui_language.h"

namespace ampora {
namespace {

TEST(ChooseUiLanguage, TheSettingDecidesAndEmptyLeavesItToTheDesktop) {
  constexpr auto ja = UiLanguage::kJapanese;
  constexpr auto en = UiLanguage::kEnglish;
  struct Case {
    const char* setting;
    QStringList desktop;
    UiLanguage chosen;
  };
  const Case cases[] = {
      {"ja", {"en-US"}, ja},
      {"en", {"ja-JP"}, en},
      {"JA", {"en-US"}, ja},
      {" ja ", {"en-US"}, ja},
      // Empty or blank: the desktop's first language.
      {"", {"ja-JP", "en-US"}, ja},
      {"  ", {"ja"}, ja},
      {"", {"en-GB", "ja-JP"}, en},
      {"", {"de-DE"}, en},
      {"", {"ja_JP.UTF-8"}, ja},
      {"", {"ja_JP@cjknarrow"}, ja},
      // No language known, or the C locale: English.
      {"", {}, en},
      {"", {"C"}, en},
      // Only the language part counts: Jamaican Creole is not Japanese.
      {"", {"jam-JM"}, en},
      {"jam", {"ja-JP"}, en},
      // A language without a translation of its own reads English.
      {"fr", {"ja-JP"}, en},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseUiLanguage(c.setting, c.desktop), c.chosen)
        << "'" << c.setting << "' " << c.desktop.join(',').toStdString();
  }
}

TEST(UseUiLanguage, EnglishWithoutItsTranslationFileFailsAndLeavesTheSourceTexts) {
  EXPECT_FALSE(UseUiLanguage(UiLanguage::kEnglish, {"/nonexistent/", ""}));
  EXPECT_TRUE(UseUiLanguage(UiLanguage::kJapanese, {}));
}

}  // namespace
}  // namespace ampora
