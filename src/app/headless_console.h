#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/event_log.h"
#include "live/live_path.h"
#include "live/model_view.h"

// The commands of the program without a window, one per line (app/program_options.h
// lists them): each acts as the window's control of the same name would. Words are
// matched without regard to case; a line of blanks does nothing. A line that is no
// command, or whose numbers are missing or out of range, is answered with one line on
// the error stream and changes nothing.
//
// Thread: UI thread.

namespace ampora {

// The input's limit on a line (app/line_reader.h).
inline constexpr std::size_t kMaxCommandBytes = 1024;

class HeadlessConsole {
 public:
  // quit ends the program (LiveProgram::AskToEnd). Everything must outlive the object.
  HeadlessConsole(LivePath& live, ModelView& view, EventLog& log, std::ostream& errors,
                  std::function<void()> quit);

  void Run(std::string_view line);
  // A line longer than kMaxCommandBytes, which was not kept.
  void TooLong();

 private:
  // Each returns the error text, or empty text when the command ran.
  std::string Bank(std::string_view number, bool store);
  std::string Level(std::string_view which, std::string_view left, std::string_view right);
  std::string Effect(std::string_view name, std::string_view state);
  void Refuse(std::string_view line, const std::string& why);

  LivePath& live_;
  ModelView& view_;
  EventLog& log_;
  std::ostream& errors_;
  std::function<void()> quit_;
};

}  // namespace ampora
