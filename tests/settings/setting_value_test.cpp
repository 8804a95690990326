#include "settings/setting_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

namespace ampora {
namespace {

TEST(SettingValueTest, IntegersAndTextAreWrittenPlainly) {
  EXPECT_EQ(SettingValue::Int16(-1).ToText(), "-1");
  EXPECT_EQ(SettingValue::Int16(-32768).ToText(), "-32768");
  EXPECT_EQ(SettingValue::Int32(20).ToText(), "20");
  EXPECT_EQ(SettingValue::Int32(INT32_MIN).ToText(), "-2147483648");
  EXPECT_EQ(SettingValue::Text(" ギター 1 ").ToText(), " ギター 1 ");
  EXPECT_EQ(SettingValue::Text("").ToText(), "");
  EXPECT_EQ(SettingValue::Int16(3).type(), SettingValue::kInt16);
  EXPECT_EQ(SettingValue::Text("").type(), SettingValue::kText);
}

TEST(SettingValueTest, FloatsHaveSevenSignificantDigitsAndNoTrailingZeros) {
  EXPECT_EQ(SettingValue::Float(7.0f).ToText(), "7");
  EXPECT_EQ(SettingValue::Float(12.5f).ToText(), "12.5");
  EXPECT_EQ(SettingValue::Float(-0.25f).ToText(), "-0.25");
  EXPECT_EQ(SettingValue::Float(0.1f).ToText(), "0.1");
  EXPECT_EQ(SettingValue::Float(1.0f / 3.0f).ToText(), "0.3333333");
  EXPECT_EQ(SettingValue::Float(123456789.0f).ToText(), "123456800");
  EXPECT_EQ(SettingValue::Float(9999999.5f).ToText(), "10000000");  // rounding carries
  EXPECT_EQ(SettingValue::Float(0.00012345f).ToText(), "0.00012345");
  EXPECT_EQ(SettingValue::Float(-0.0f).ToText(), "0");
  EXPECT_EQ(SettingValue::Float(1e20f).ToText(), "1E+20");
  EXPECT_EQ(SettingValue::Float(1.5e-7f).ToText(), "1.5E-07");
}

TEST(SettingValueTest, FloatTextIsPlainAndWithinHalfASeventhDigit) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> exponent(-5.0f, 14.0f);
  for (int i = 0; i < 20000; ++i) {
    const float value = std::pow(10.0f, exponent(random)) * (i % 2 == 0 ? 1.0f : -1.0f);
    const std::string text = SettingValue::Float(value).ToText();
    ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
    const double back = std::strtod(text.c_str(), nullptr);
    ASSERT_LE(std::fabs(back - value), 5e-7 * std::fabs(value)) << text;
  }
}

}  // namespace
}  // namespace ampora
