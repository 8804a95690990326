#include "settings/text_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "support/settings_fixture.h"

namespace ampora {
namespace {

class TextSectionTest : public test::SettingsFixture {};

// A section in memory reads and writes back exactly what the settings file gives for the
// same text: the marker of empty text, "ISDEFAULT", NULs, long values, absent keys.
TEST_F(TextSectionTest, ReadsAndWritesBackAsTheSettingsFileDoes) {
  using namespace std::string_literals;
  const std::string text = "[Bank01]\nA=12\nB=ISDEFAULT\nC=***\nD=Line\0junk\nE="s +
                           std::string(300, 'x') + "\n[Other]\nF=1\n";
  struct Read {
    const char* key;
    SettingValue defaultValue;
  };
  const std::vector<Read> reads = {{"A", SettingValue::Int32(3)},  {"B", SettingValue::Int32(4)},
                                   {"C", SettingValue::Text("d")}, {"D", SettingValue::Text("")},
                                   {"E", SettingValue::Text("")},  {"F", SettingValue::Int32(5)},
                                   {"G", SettingValue::Text("")}};
  test::WriteFileText(IniPath(), text);
  ProfileText memory(text);
  TextSection section(memory, "bank01");
  for (const Read& read : reads) {
    EXPECT_EQ(section.Read(read.key, read.defaultValue),
              ReadIniValue(read.key, read.defaultValue, IniPath(), "Bank01", 1))
        << read.key;
  }
  EXPECT_EQ(memory.text(), IniText());

  section.Write("A", SettingValue::Text(""));
  WriteIniValue("A", SettingValue::Text(""), IniPath(), "Bank01");
  EXPECT_EQ(memory.text(), IniText());
}

}  // namespace
}  // namespace ampora
