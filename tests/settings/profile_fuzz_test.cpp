#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "settings/profile_text.h"
#include "settings/settings_store.h"
#include "support/settings_fixture.h"
#include "util/text.h"

// Randomised texts through the profile parser and editor: whatever the text holds, reads
// and edits finish, and an edit changes only the line it concerns.

namespace ampora {
namespace {

using namespace std::string_literals;

// Pieces that matter to the parser, mixed with arbitrary bytes.
const std::vector<std::string> kPieces = {
    "[",        "]",         "=",        "\n",      "\r\n",         "\r",
    " ",        "\t",        ";",        "#",       "\0"s,          "\xEF\xBB\xBF",
    "conf",     "CONF",      "Bank01",   "key",     "KEY",          "a",
    "***",      "ISDEFAULT", "[conf]\n", "key=1\n", "[Bank01]\r\n", "\xE9\x9F\xB3",
    "\xE9\x9F", "\x80",      "\xFF"};
const std::vector<std::string> kSections = {"conf", "CONF", "Bank01", "a", "", " conf "};
const std::vector<std::string> kKeys = {"key", "KEY", "a", " key ", "ISDEFAULT", "k\xE9"};

class Generator {
 public:
  explicit Generator(uint64_t seed) : random_(seed) {}

  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

  std::string Text(std::size_t maxPieces) {
    std::string text;
    const std::size_t pieces = Below(maxPieces + 1);
    for (std::size_t i = 0; i < pieces; ++i) {
      if (Below(4) == 0) {
        text += static_cast<char>(Below(256));
      } else {
        text += kPieces[Below(kPieces.size())];
      }
    }
    return text;
  }

  const std::string& Section() { return kSections[Below(kSections.size())]; }
  const std::string& Key() { return kKeys[Below(kKeys.size())]; }

 private:
  std::mt19937_64 random_;
};

// The bytes of the old text that an edit replaced: the part between the longest common
// prefix and the longest common suffix.
std::string ChangedPart(const std::string& before, const std::string& after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return before.substr(prefix, before.size() - prefix - suffix);
}

void CheckValueShape(const std::optional<std::string>& value) {
  if (!value) return;
  ASSERT_EQ(value->find('\n'), std::string::npos);
  ASSERT_EQ(TrimBlanks(*value), *value);
}

TEST(ProfileFuzzTest, RandomTextsReadAndEditSoundly) {
  Generator generate(20240131);
  constexpr int kInputs = 100000;
  for (int i = 0; i < kInputs; ++i) {
    const std::string original = generate.Text(i % 100 == 0 ? 400 : 40);
    ProfileText profile(original);
    const std::string section = generate.Section();
    const std::string key = generate.Key();
    const std::string otherSection = generate.Section();
    const std::string otherKey = generate.Key();
    const bool sameKey = EqualsIgnoreCase(TrimBlanks(section), TrimBlanks(otherSection)) &&
                         EqualsIgnoreCase(TrimBlanks(key), TrimBlanks(otherKey));
    const std::optional<std::string> other = profile.Get(otherSection, otherKey);
    CheckValueShape(other);

    if (generate.Below(4) == 0) {
      profile.Remove(section, key);
      const std::string removed = ChangedPart(original, profile.text());
      ASSERT_EQ(profile.text().size() + removed.size(), original.size());
      ASSERT_LE(std::count(removed.begin(), removed.end(), '\n'), 1) << "removed more than a line";
      if (!sameKey) {
        ASSERT_EQ(profile.Get(otherSection, otherKey), other);
      }
      continue;
    }

    const std::string value = generate.Text(6);
    if (!profile.Set(section, key, value)) {
      ASSERT_EQ(profile.text(), original);
      continue;
    }
    ASSERT_EQ(profile.Get(section, key), std::string(TrimBlanks(value)));
    ASSERT_EQ(ChangedPart(original, profile.text()).find('\n'), std::string::npos)
        << "an edit touched another line";
    if (!sameKey) {
      ASSERT_EQ(profile.Get(otherSection, otherKey), other);
    }
    const std::string edited = profile.text();
    ASSERT_TRUE(profile.Set(section, key, value));
    ASSERT_EQ(profile.text(), edited) << "writing the same value again changed the text";
  }
}

TEST(ProfileFuzzTest, TenMegabyteLineIsReadAndKeptWhole) {
  Generator generate(7);
  std::string huge(10u << 20, 'x');
  for (char& c : huge) {
    c = static_cast<char>(generate.Below(256));
    if (c == '\n') c = '\0';
  }
  const std::string original = "[conf]\r\nbig=" + huge + "\r\nafter=1\r\n" + huge;
  ProfileText profile(original);
  EXPECT_EQ(profile.Get("conf", "after"), "1");
  const std::optional<std::string> big = profile.Get("conf", "big");
  ASSERT_TRUE(big);
  EXPECT_GT(big->size(), (10u << 20) - 8);
  ASSERT_TRUE(profile.Set("conf", "after", "2"));
  EXPECT_EQ(profile.text().size(), original.size());
  ASSERT_TRUE(profile.Set("conf", "new", "3"));
  EXPECT_EQ(profile.Get("CONF", "NEW"), "3");
}

// The file layer over random file contents: the store answers within its limits and
// never loses the lines it did not write.
class ProfileFileFuzzTest : public test::SettingsFixture {};

TEST_F(ProfileFileFuzzTest, RandomFilesThroughTheStore) {
  Generator generate(99);
  for (int i = 0; i < 300; ++i) {
    const std::string original = generate.Text(200);
    test::WriteFileText(IniPath(), original);
    const std::string key = generate.Key();
    const std::string value = ReadIniValue(key, SettingValue::Int32(7), "", "", 0);
    ASSERT_LE(value.size(), 254u);
    ASSERT_EQ(value.find('\0'), std::string::npos);
    ASSERT_EQ(IniText(), original);
    if (i % 10 == 0) {
      WriteSetting(key, SettingValue::Text("v"));
      ASSERT_EQ(ReadSetting(key, SettingValue::Text("")), "v");
      ASSERT_EQ(ChangedPart(original, IniText()).find('\n'), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace ampora
