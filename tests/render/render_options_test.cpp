#include "render/render_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ampora {
namespace {

ParsedOptions Parse(std::vector<std::string> args) {
  return ParseRenderOptions(args);
}

TEST(RenderOptionsTest, DefaultsAndBothValueForms) {
  const ParsedOptions plain = Parse({"in.flac", "out.wav"});
  ASSERT_EQ(plain.error, "");
  EXPECT_EQ(plain.options.input, "in.flac");
  EXPECT_EQ(plain.options.output, "out.wav");
  EXPECT_EQ(plain.options.iniFile, "");
  EXPECT_EQ(plain.options.section, "Current");
  EXPECT_FALSE(plain.options.blockMs.has_value());
  EXPECT_EQ(plain.options.tailSeconds, 0.0);
  EXPECT_FALSE(plain.options.seed.has_value());
  EXPECT_EQ(plain.options.sampleRate, 44100);

  const ParsedOptions full =
      Parse({"--ini", "my.ini", "--block-ms=4.5", "in.wav", "--tail", "2.5",
             "--seed=18446744073709551615", "--section", "Live", "out.wav", "--rate=96000"});
  ASSERT_EQ(full.error, "");
  EXPECT_EQ(full.options.iniFile, "my.ini");
  EXPECT_EQ(full.options.blockMs, 4.5f);
  EXPECT_EQ(full.options.tailSeconds, 2.5);
  EXPECT_EQ(full.options.seed, 18446744073709551615u);
  EXPECT_EQ(full.options.section, "Live");
  EXPECT_EQ(full.options.sampleRate, 96000);
  EXPECT_EQ(Parse({"--rate", "22050", "a", "b"}).options.sampleRate, 22050);
  EXPECT_EQ(Parse({"--rate", "192000", "a", "b"}).options.sampleRate, 192000);
  EXPECT_EQ(full.options.input, "in.wav");
  EXPECT_EQ(full.options.output, "out.wav");

  EXPECT_EQ(Parse({"--bank", "1", "a", "b"}).options.section, "Bank01");
  EXPECT_EQ(Parse({"--bank=12", "a", "b"}).options.section, "Bank12");
  // After "--" a name may start with "-".
  const ParsedOptions dashed = Parse({"--", "-in.wav", "--out.wav"});
  EXPECT_EQ(dashed.error, "");
  EXPECT_EQ(dashed.options.output, "--out.wav");
}

TEST(RenderOptionsTest, HelpNeedsNoFiles) {
  EXPECT_TRUE(Parse({"--help"}).options.help);
  EXPECT_TRUE(Parse({"-h", "only-one.wav"}).options.help);
  EXPECT_EQ(Parse({"-h"}).error, "");
  EXPECT_NE(RenderUsage().find("--block-ms"), std::string::npos);
  EXPECT_NE(RenderUsage().find("--rate HZ"), std::string::npos);
}

TEST(RenderOptionsTest, WrongCommandLinesSayWhatIsWrong) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"in.wav"}, "expected an INPUT and an OUTPUT"},
      {{"a", "b", "c"}, "expected an INPUT and an OUTPUT"},
      {{"--volume", "3", "a", "b"}, "unknown option '--volume'"},
      {{"-x", "a", "b"}, "unknown option '-x'"},
      {{"a", "b", "--tail"}, "--tail: a value is missing"},
      {{"--bank", "0", "a", "b"}, "--bank: must be 1 to 12"},
      {{"--bank", "13", "a", "b"}, "--bank: must be 1 to 12"},
      {{"--bank", "2x", "a", "b"}, "--bank: not a number: '2x'"},
      {{"--bank", "", "a", "b"}, "--bank: not a number"},
      {{"--bank", "2", "--section", "X", "a", "b"}, "exclude each other"},
      {{"--tail", "-1", "a", "b"}, "--tail: must be 0 to 3600"},
      {{"--tail", "3601", "a", "b"}, "--tail: must be 0 to 3600"},
      {{"--tail", "nan", "a", "b"}, "--tail: must be 0 to 3600"},
      {{"--block-ms", "inf", "a", "b"}, "--block-ms: not a finite number"},
      {{"--seed", "-1", "a", "b"}, "--seed: not a number"},
      {{"--rate", "22049", "a", "b"}, "--rate: must be 22050 to 192000 Hz"},
      {{"--rate", "192001", "a", "b"}, "--rate: must be 22050 to 192000 Hz"},
      {{"--rate", "0", "a", "b"}, "--rate: must be 22050 to 192000 Hz"},
      {{"--rate", "48k", "a", "b"}, "--rate: not a number: '48k'"},
      {{"--rate", "99999999999", "a", "b"}, "--rate: not a number"},
      {{"--ini=", "a", "b"}, "--ini: the file name is empty"},
      {{"a", "-"}, "OUTPUT must be a file"},
  };
  for (const auto& [args, expected] : cases) {
    const std::string error = Parse(args).error;
    EXPECT_NE(error.find(expected), std::string::npos) << args.front() << ": " << error;
  }
}

}  // namespace
}  // namespace ampora
