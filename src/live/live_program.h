#pragma once

#include <string>

#include "live/live_path.h"

// The life of the live program, whatever shows it, in the order every front end keeps:
// one instance at a time (a second one leaves at once, before touching any setting); the
// settings file's place; the start-up in one settings batch (the live setup read, the
// front end and its live path built, the process's priority raised, the live path's and
// the front end's start-up); the command line's switches; the front end's loop, which
// ticks the live path every kTickIntervalMs; and the shut-down.
//
// An end asked for from outside (a signal, a "quit") during the start-up ends the program
// once the start-up is complete, so that the shut-down saves what the start-up loaded;
// one asked for during the command line's actions (whose waits let events run) ends it
// there, and the action waiting does not reopen the stream.
//
// Thread: UI thread.

namespace ampora {

// What a front end supplies: its view and its own part of the start-up and shut-down,
// and its loop.
class LiveFrontEnd {
 public:
  virtual ~LiveFrontEnd() = default;
  // Builds the view and the live path over it from the setup; nothing is read yet.
  virtual LivePath& Build(LiveSetup setup) = 0;
  // The start-up: the live path's (LivePath::StartUp), then the front end's own.
  virtual void Load() = 0;
  // The shut-down: the front end's own and the live path's (LivePath::ShutDown). It
  // may also come from the front end itself (a window closed by the user).
  virtual void Unload() = 0;
  // Runs the loop until it is ended; returns the program's exit code.
  virtual int RunLoop() = 0;
  // Ends the loop from inside it (a handler, a tick, a wait).
  virtual void EndLoop() = 0;
};

class LiveProgram {
 public:
  // lockFolder: where the single-instance lock lives; empty = the user's runtime folder.
  explicit LiveProgram(LiveFrontEnd& frontEnd, std::string lockFolder = "");
  LiveProgram(const LiveProgram&) = delete;
  LiveProgram& operator=(const LiveProgram&) = delete;

  // The whole run, with the command line's arguments (joined, live/start_switches.h);
  // returns the exit code, 0 when another instance runs. An error that the error trap
  // lets through (ErrorCatch on) leaves by an exception, without the shut-down.
  int Run(const std::string& arguments);

  // Ends the program with the normal shut-down, as described above. Once.
  void AskToEnd();

  // The live path, once built.
  LivePath* Live() { return live_; }

 private:
  void End();

  LiveFrontEnd& frontEnd_;
  std::string lockFolder_;
  LivePath* live_ = nullptr;
  bool started_ = false;
  bool endAsked_ = false;
  bool ended_ = false;
};

}  // namespace ampora
