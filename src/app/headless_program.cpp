#include "app/headless_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <optional>

#include "app/event_log.h"
#include "app/fatal_error.h"
#include "app/headless_console.h"
#include "app/line_reader.h"
#include "app/signal_pipe.h"
#include "live/live_program.h"
#include "live/model_view.h"
#include "live/tick_loop.h"
#include "settings/settings_store.h"
#include "util/message_seam.h"
#include "util/pending_events.h"
#include "version.h"

namespace ampora {

namespace {

constexpr size_t kReadBytes = 4096;

// Commands come from a person at a terminal or from another program through a pipe; a
// service's input (/dev/null) and a file are not read. Nor is a terminal that belongs to
// the foreground job of a shell that started the program in the background: reading it
// would stop the program, and its sound with it.
bool InputTakesCommands() {
  if (isatty(STDIN_FILENO) == 1) return tcgetpgrp(STDIN_FILENO) == getpgrp();
  struct stat info = {};
  return fstat(STDIN_FILENO, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

// Events are let run by the loop for as long as it lives, however the run ends.
class LoopRunsPendingEvents {
 public:
  explicit LoopRunsPendingEvents(TickLoop& loop) {
    SetPendingEventsHook([&loop] { loop.RunPending(); });
  }
  ~LoopRunsPendingEvents() { SetPendingEventsHook({}); }
  LoopRunsPendingEvents(const LoopRunsPendingEvents&) = delete;
  LoopRunsPendingEvents& operator=(const LoopRunsPendingEvents&) = delete;
};

class HeadlessFrontEnd final : public LiveFrontEnd {
 public:
  HeadlessFrontEnd(std::function<void()> quit, std::function<void()> chooseLanguage)
      : quit_(std::move(quit)), chooseLanguage_(std::move(chooseLanguage)) {}

  LivePath& Build(LiveSetup setup) override {
    if (chooseLanguage_) chooseLanguage_();
    live_.emplace(view_, std::move(setup));
    log_.emplace(*live_, std::cout);
    live_->SetEvents(&*log_);
    console_.emplace(*live_, view_, *log_, std::cerr, quit_);
    return *live_;
  }
  void Load() override {
    live_->StartUp();
    log_->Say(std::string("ampora ") + kVersionText + " without a window, settings " +
              SettingsIniPath);
  }
  void Unload() override {
    ended_ = true;
    if (live_->ShutDown()) log_->Say("shut down");
  }
  int RunLoop() override { return loop_.Run(); }
  void EndLoop() override { loop_.Stop(0); }

  TickLoop& Loop() { return loop_; }

  // The commands of standard input: read when the loop finds some, never inside a wait.
  void ReadInput() {
    char bytes[kReadBytes];
    const ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
      Obey(input_.Finish());
      loop_.Unwatch(STDIN_FILENO);
      return;
    }
    Obey(input_.Add(std::string_view(bytes, static_cast<size_t>(n))));
  }

 private:
  void Obey(const std::vector<InputLine>& lines) {
    for (const InputLine& line : lines) {
      if (ended_ || !console_) return;
      if (line.tooLong) {
        console_->TooLong();
      } else {
        console_->Run(line.text);
      }
    }
  }

  std::function<void()> quit_;
  std::function<void()> chooseLanguage_;
  ModelView view_;
  std::optional<LivePath> live_;
  std::optional<EventLog> log_;
  std::optional<HeadlessConsole> console_;
  LineReader input_{kMaxCommandBytes};
  bool ended_ = false;
  TickLoop loop_{[this] {
                   if (live_) live_->Tick();
                 },
                 kTickIntervalMs};
};

int Run(const std::string& switches, std::function<void()> chooseLanguage) {
  // A reader of the output that went away must not end the program without its shut-down,
  // and a terminal read from the background (the program sent there later) fails instead
  // of stopping it: the input then counts as ended.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGTTIN, SIG_IGN);
  LiveProgram* program = nullptr;
  HeadlessFrontEnd frontEnd([&program] { program->AskToEnd(); }, std::move(chooseLanguage));
  LiveProgram run(frontEnd);
  program = &run;
  TickLoop& loop = frontEnd.Loop();
  const LoopRunsPendingEvents pendingEvents(loop);
  SignalPipe signals;
  loop.Watch(
      signals.ReadFd(),
      [&] {
        if (signals.Drain()) run.AskToEnd();
      },
      true);
  if (InputTakesCommands()) {
    loop.Watch(
        STDIN_FILENO, [&] { frontEnd.ReadInput(); }, false);
  }
  return run.Run(switches);
}

}  // namespace

int RunHeadless(const std::string& switches, std::function<void()> chooseLanguage) {
  try {
    return Run(switches, std::move(chooseLanguage));
  } catch (...) {
    ReportFatalError(CurrentExceptionText());
    return kFatalErrorExitCode;
  }
}

}  // namespace ampora
