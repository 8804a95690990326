#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <csignal>
#include <stdexcept>

#include "app/program_application.h"
#include "app/shutdown_signals.h"
#include "util/message_seam.h"

namespace ampora {
namespace {

// The program's own application object, for the whole executable.
class ProgramApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "app_test";
    static char* argv[] = {name, nullptr};
    app_ = new ProgramApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

 private:
  ProgramApplication* app_ = nullptr;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new ProgramApplicationEnvironment);

// The handler only wakes the event loop; the shut-down runs there, once per signal.
TEST(ShutdownSignals, EachSignalRunsTheShutDownFromTheEventLoop) {
  for (const int signal : kShutdownSignals) {
    int calls = 0;
    const ShutdownSignals endingSignals([&] {
      ++calls;
      QCoreApplication::exit(0);
    });
    std::raise(signal);
    EXPECT_EQ(calls, 0) << "not inside the signal handler";
    QTimer::singleShot(5000, [] { QCoreApplication::exit(2); });
    EXPECT_EQ(QCoreApplication::exec(), 0) << signal;
    EXPECT_EQ(calls, 1) << signal;
  }
}

// An object whose event handler fails.
class FailingObject final : public QObject {
 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("the device is gone");
    return QObject::event(event);
  }
};

// Last in this executable: the program reports only its first fatal error.
TEST(ProgramApplication, AnErrorEscapingAnEventHandlerEndsTheLoopWithAReport) {
  std::vector<std::string> shown;
  SetMessageHook([&](const std::string& text, int32_t, const std::string&) {
    shown.push_back(text);
    return kIdOk;
  });
  FailingObject object;
  QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
  QTimer::singleShot(5000, [] { QCoreApplication::exit(2); });
  EXPECT_EQ(QCoreApplication::exec(), kFatalErrorExitCode);
  SetMessageHook({});
  ASSERT_EQ(shown.size(), 1u) << "one report, though two handlers failed";
  EXPECT_NE(shown[0].find("the device is gone"), std::string::npos) << shown[0];
}

}  // namespace
}  // namespace ampora
