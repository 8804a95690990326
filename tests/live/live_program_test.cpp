#include "live/live_program.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "live/live_rig.h"
#include "live/single_instance.h"
#include "util/pending_events.h"

namespace ampora::test {
namespace {

TEST(SingleInstance, OnlyTheFirstRunsUntilItEnds) {
  TempFolder folder;
  auto first = std::make_unique<SingleInstance>(folder.path());
  EXPECT_FALSE(first->OtherInstanceRunning());
  SingleInstance second(folder.path());
  EXPECT_TRUE(second.OtherInstanceRunning());
  first.reset();
  SingleInstance third(folder.path());
  EXPECT_FALSE(third.OtherInstanceRunning()) << "the lock goes with the program";
}

TEST(SingleInstance, ALockThatCannotBeMadeLetsTheProgramRun) {
  SingleInstance instance("/nonexistent/folder");
  EXPECT_FALSE(instance.OtherInstanceRunning());
}

// Another process holds the lock while it runs, and a killed one leaves nothing behind
// that would keep the next program from starting.
TEST(SingleInstance, AKilledProgramsLockIsFree) {
  TempFolder folder;
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstance held(folder.path());
    const char byte = held.OtherInstanceRunning() ? 'n' : 'y';
    [[maybe_unused]] const ssize_t written = write(ready[1], &byte, 1);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 'y');
  EXPECT_TRUE(SingleInstance(folder.path()).OtherInstanceRunning());
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_FALSE(SingleInstance(folder.path()).OtherInstanceRunning());
  close(ready[0]);
  close(ready[1]);
}

// A front end over the rig's machine that writes down what the program asks of it. Its
// start-up lets events run once, as the main window's does.
class LiveProgramTest : public LiveTest {
 protected:
  class Recorder final : public LiveFrontEnd {
   public:
    explicit Recorder(LiveProgramTest& rig) : rig_(rig) {}
    LivePath& Build(LiveSetup setup) override {
      calls.push_back("build");
      return rig_.Build(std::move(setup));
    }
    void Load() override {
      calls.push_back("load");
      rig_.Live().StartUp();
      RunPendingEvents();
      if (afterLoad) afterLoad();
    }
    void Unload() override {
      calls.push_back("unload");
      rig_.Live().ShutDown();
    }
    int RunLoop() override {
      calls.push_back("loop");
      if (inLoop) inLoop();
      return 7;
    }
    void EndLoop() override { calls.push_back("end loop"); }

    std::vector<std::string> calls;
    std::function<void()> afterLoad;
    std::function<void()> inLoop;

   private:
    LiveProgramTest& rig_;
  };

  void SetUp() override {
    LiveTest::SetUp();
    WriteFileText(IniPath(), "[Bank03]\nBankName=Third\nFuzz-01=1\n");
  }

  TempFolder lockFolder;
  Recorder frontEnd{*this};
  LiveProgram program{frontEnd, lockFolder.path()};
};

TEST_F(LiveProgramTest, StartsUpObeysTheCommandLineLoopsAndShutsDownOnce) {
  frontEnd.inLoop = [&] {
    EXPECT_EQ(Engine().StreamRunning(), 1);
    EXPECT_EQ(view.TextNum(), "03");
    program.AskToEnd();
    program.AskToEnd();
  };
  EXPECT_EQ(program.Run("F03"), 7);
  EXPECT_EQ(frontEnd.calls,
            (std::vector<std::string>{"build", "load", "loop", "unload", "end loop"}));
  EXPECT_EQ(Stored("Current", "Fuzz-01"), "1") << "the shut-down kept the working setting";
  EXPECT_EQ(Engine().StreamRunning(), 0);
}

TEST_F(LiveProgramTest, ASecondInstanceLeavesWithoutTouchingTheSettings) {
  SingleInstance first(lockFolder.path());
  ASSERT_FALSE(first.OtherInstanceRunning());
  const std::string before = IniText();
  EXPECT_EQ(program.Run("F03"), 0);
  EXPECT_TRUE(frontEnd.calls.empty());
  EXPECT_EQ(IniText(), before);
}

// The shut-down must save what the start-up loaded, so an end asked for meanwhile waits
// for it; the command line is then not obeyed and the loop never runs.
TEST_F(LiveProgramTest, AnEndAskedDuringTheStartUpEndsTheProgramOnceItIsComplete) {
  DuringNextEvents([&] {
    program.AskToEnd();
    EXPECT_TRUE(frontEnd.calls.back() == "load") << "nothing ends inside the start-up";
  });
  EXPECT_EQ(program.Run("F03"), 0);
  EXPECT_EQ(frontEnd.calls, (std::vector<std::string>{"build", "load", "unload", "end loop"}));
  EXPECT_EQ(Engine().StreamRunning(), 0);
  EXPECT_EQ(view.TextNum(), "");
  EXPECT_NE(Stored("conf", "BufferMS"), "") << "the main settings were saved";
}

TEST_F(LiveProgramTest, AnEndAskedDuringTheCommandLinesWaitEndsItThereWithoutReopening) {
  frontEnd.afterLoad = [&] { DuringNextEvents([&] { program.AskToEnd(); }); };
  EXPECT_EQ(program.Run("S"), 0);
  EXPECT_EQ(frontEnd.calls, (std::vector<std::string>{"build", "load", "unload", "end loop"}));
  EXPECT_EQ(Engine().StreamRunning(), 0) << "the start waiting did not open the stream";
}

}  // namespace
}  // namespace ampora::test
