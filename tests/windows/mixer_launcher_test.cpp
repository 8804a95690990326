#include "windows/mixer_launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "settings/settings_store.h"
#include "support/settings_fixture.h"
#include "support/temp_folder.h"
#include "util/files.h"

namespace ampora {
namespace {

using test::ReadFileText;
using test::ScopedEnv;
using test::TempFolder;
using test::WriteFileText;

// Fake programs in folders of their own: each one, when run, writes its arguments into
// "<its path>.ran", whole or not at all (written beside it and renamed: a test that sees
// the file must not read it half written; by its full path, since the tests set PATH).
class MixerLauncherTest : public test::SettingsFixture {
 protected:
  std::string Folder(const std::string& name) {
    const std::string folder = root_.path() + name + "/";
    EXPECT_TRUE(MakeFolders(folder));
    return folder;
  }

  std::string Program(const std::string& folder, const std::string& name, bool executable = true) {
    const std::string path = Folder(folder) + name;
    WriteFileText(path, "#!/bin/sh\necho \"$@\" > \"$0.part\" && /bin/mv \"$0.part\" \"$0.ran\"\n");
    chmod(path.c_str(), executable ? 0755 : 0644);
    return path;
  }

  // The marker of a fake program, once it has run (or after a generous while, when it
  // never does: the start is not waited for, so the test has to).
  static bool Ran(const std::string& program) {
    for (int turn = 0; turn < 200; ++turn) {
      if (FileExists(program + ".ran")) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  std::string Root() const { return root_.path(); }

 private:
  TempFolder root_;
};

TEST_F(MixerLauncherTest, TheFirstMixerThereIsChosenInTheFixedOrder) {
  const std::string configured = Program("conf", "my \"mixer\" it's");
  const std::string beside = Program("app", "mixer");
  const std::string pavu = Program("bin2", "pavucontrol");
  const std::string pwvu = Program("bin1", "pwvucontrol");
  const std::string graph = Program("bin1", "qpwgraph");
  const std::string alsa = Program("bin3", "alsamixer");
  const std::string xterm = Program("bin3", "xterm");
  const std::string konsole = Program("bin4", "konsole");
  Program("bin5", "notaprogram", false);
  const std::string app = Root() + "app/";
  const std::string all = Root() + "bin1:" + Root() + "bin2:" + Root() + "bin3";

  struct Case {
    MixerSearch search;
    MixerCommand expected;
  };
  const Case cases[] = {
      {{configured, app, "ampora", all}, {configured, {}}},
      {{"pavucontrol", "", "ampora", all}, {pavu, {}}},  // a bare name: from the path
      {{Root() + "conf/gone", app, "ampora", all}, {beside, {}}},
      {{Root() + "bin5/notaprogram", app, "ampora", all}, {beside, {}}},
      {{"", app, "mixer", all}, {pavu, {}}},                // "mixer" itself does not start itself
      {{"", Root() + "bin5/", "ampora", all}, {pavu, {}}},  // the names' order before the path's
      {{"", "", "", Root() + "bin1"}, {pwvu, {}}},
      {{"", "", "", Root() + "bin3"}, {xterm, {"-e", alsa}}},
      {{"", "", "", Root() + "bin3:" + Root() + "bin4"}, {konsole, {"-e", alsa}}},
      {{"", "", "", Root() + "bin4"}, {}},  // a terminal but no alsamixer
      {{"", "", "", "bin1::" + Root() + "bin5:"}, {}},
      {{"", "", "", ""}, {}},
  };
  for (const Case& c : cases) {
    const MixerCommand chosen = ChooseMixer(c.search);
    EXPECT_EQ(chosen.program, c.expected.program) << c.search.mixerApp << " | " << c.search.path;
    EXPECT_EQ(chosen.arguments, c.expected.arguments) << c.search.path;
  }
  EXPECT_FALSE(FileExists(graph + ".ran")) << "choosing starts nothing";
}

TEST_F(MixerLauncherTest, TheConfiguredProgramStartsAsItIsNamedWithoutAShell) {
  const std::string configured = Program("my mixers", "it's \"the\" mixer; touch x");
  const std::string other = Program("bin", "pavucontrol");
  WriteFileText(IniPath(), "[conf]\nMixerApp=" + configured + "\n");
  const ScopedEnv path("PATH", Root() + "bin");
  LaunchMixer();
  ASSERT_TRUE(Ran(configured));
  EXPECT_EQ(ReadFileText(configured + ".ran"), "\n") << "no arguments";
  EXPECT_FALSE(FileExists(other + ".ran"));
}

TEST_F(MixerLauncherTest, WithoutASettingTheSearchStartsAMixerFromThePath) {
  const std::string pavu = Program("bin", "pavucontrol");
  const ScopedEnv path("PATH", Root() + "bin");
  LaunchMixer();
  ASSERT_TRUE(Ran(pavu));
  EXPECT_NE(IniText().find("MixerApp=***"), std::string::npos) << "the setting is listed, empty";
}

TEST_F(MixerLauncherTest, NothingToStartIsSilent) {
  const ScopedEnv path("PATH", Folder("empty"));
  WriteFileText(IniPath(), "[conf]\nMixerApp=/nowhere/mixer\n");
  LaunchMixer();
  EXPECT_EQ(ReadSetting(kMixerAppKey, SettingValue::Text("")), "/nowhere/mixer");
}

}  // namespace
}  // namespace ampora
