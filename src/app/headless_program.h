#pragma once

#include <functional>
#include <string>

// The program without a window: the live path of the windowed program, with the same
// settings file, lock, devices, banks and MIDI control, run by a loop of its own
// (live/tick_loop.h) on the program's main thread, with no Qt but the translation of its
// messages and so no display.
// Commands come on standard input when it is a terminal or a pipe
// (app/headless_console.h), events go to standard output (app/event_log.h), messages to
// standard error. SIGTERM, SIGINT, SIGHUP and "quit" end it with the normal shut-down;
// the end of the input does not.
//
// Thread: the program's main thread, which becomes the UI thread.

namespace ampora {

// Runs it with the start switches (live/start_switches.h); returns the exit code.
// chooseLanguage, when given, runs once the settings file is known and before the live
// path shows any text: the program sets the language of its messages there (controls/
// ui_language.h), the only Qt it uses without a window.
int RunHeadless(const std::string& switches, std::function<void()> chooseLanguage = {});

}  // namespace ampora
