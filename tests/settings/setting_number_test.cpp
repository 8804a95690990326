#include "settings/setting_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>
#include <utility>

#include "settings/setting_value.h"
#include "settings/settings_store.h"
#include "support/scoped_locale.h"
#include "support/settings_fixture.h"
#include "util/error_trap.h"

namespace ampora {
namespace {

TEST(SettingNumberTest, WhatCountsAsANumber) {
  const std::pair<const char*, double> numbers[] = {{"20", 20},     {" -6 ", -6},     {"\t+3\t", 3},
                                                    {"12.5", 12.5}, {".5", 0.5},      {"5.", 5},
                                                    {"1e3", 1000},  {"2.5E-1", 0.25}, {"-0", 0}};
  for (const auto& [text, value] : numbers) {
    EXPECT_EQ(ParseSettingNumber<double>(text), value) << '"' << text << '"';
  }
  for (const char* text : {"", "  ", "12abc", "0x10", "12,5", "1 2", "+", "+-5", "++5", "1e", "nan",
                           "inf", "-Infinity", "1e400", "１２"}) {
    EXPECT_EQ(ParseSettingNumber<double>(text), std::nullopt) << '"' << text << '"';
  }
  // A float is read as a float: beyond its range is no number, though a double holds it.
  EXPECT_EQ(ParseSettingNumber<float>("0.1"), 0.1f);
  EXPECT_EQ(ParseSettingNumber<float>("1e39"), std::nullopt);
  EXPECT_EQ(ParseSettingNumber<double>("1e39"), 1e39);
}

TEST(SettingNumberTest, IntegersRoundTiesToEvenAndRaiseOnJunkOrOverflow) {
  EXPECT_EQ(SettingInt32("12.5"), 12);
  EXPECT_EQ(SettingInt32("13.5"), 14);
  EXPECT_EQ(SettingInt32("-2.5"), -2);
  EXPECT_EQ(SettingInt32(" 1e3 "), 1000);
  EXPECT_EQ(SettingInt32("2147483647"), INT32_MAX);
  EXPECT_EQ(SettingInt32("-2147483648.5"), INT32_MIN);
  for (const char* text : {"2147483648", "12abc", "nan", ""}) {
    EXPECT_THROW(SettingInt32(text), RuntimeError) << '"' << text << '"';
  }
}

// Written floats keep the digits of the C library's "%.7g" in the "C" locale, for every
// magnitude, so files written by earlier builds and by this one agree.
TEST(SettingNumberTest, FloatTextHasTheSevenDigitsOfPrintf) {
  std::mt19937 random(11);
  for (int i = 0; i < 200000; ++i) {
    const float value = std::bit_cast<float>(static_cast<uint32_t>(random()));
    if (!std::isfinite(value)) continue;
    char reference[32];
    std::snprintf(reference, sizeof reference, "%.7g", static_cast<double>(value));
    const std::string text = SettingValue::Float(value).ToText();
    ASSERT_EQ(ParseSettingNumber<double>(text), ParseSettingNumber<double>(reference))
        << text << " vs " << reference;
  }
}

class SettingNumberLocaleTest : public test::SettingsFixture,
                                public ::testing::WithParamInterface<const char*> {};

// A desktop locale with a decimal comma, or a decimal separator of two bytes, is what
// the C library follows once the program's window toolkit has started.
TEST_P(SettingNumberLocaleTest, NumbersIgnoreTheLocale) {
  test::ScopedLocale locale(GetParam());
  if (!locale.active()) GTEST_SKIP() << "locale " << GetParam() << " cannot be built here";
  char printed[16];
  std::snprintf(printed, sizeof printed, "%.1f", 12.5);
  ASSERT_NE(std::string(printed), "12.5") << "the locale is not in effect";

  EXPECT_EQ(SettingValue::Float(12.5f).ToText(), "12.5");
  EXPECT_EQ(SettingValue::Float(-0.0625f).ToText(), "-0.0625");
  EXPECT_EQ(SettingValue::Float(1.5e-7f).ToText(), "1.5E-07");
  EXPECT_EQ(SettingValue::Int32(-1234567).ToText(), "-1234567");
  EXPECT_EQ(ParseSettingNumber<float>("12.5"), 12.5f);
  EXPECT_EQ(ParseSettingNumber<double>("12,5"), std::nullopt);
  EXPECT_EQ(SettingInt32("13.5"), 14);

  WriteSetting("FontSize", SettingValue::Float(9.75f));
  EXPECT_EQ(IniText(), "[conf]\nFontSize=9.75\n");
  EXPECT_EQ(ParseSettingNumber<float>(ReadSetting("FontSize", SettingValue::Float(0))), 9.75f);
}

INSTANTIATE_TEST_SUITE_P(DesktopLocales, SettingNumberLocaleTest,
                         ::testing::Values("de_DE", "ps_AF"));

}  // namespace
}  // namespace ampora
