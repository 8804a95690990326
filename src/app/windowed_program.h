#pragma once

// The program with its main window: Qt's application and event loop, message boxes
// centred over the window, the signals that end it delivered to the loop.
//
// Thread: the program's main thread, which becomes the UI thread.

namespace ampora {

// Runs the program (live/live_program.h) with the window; returns the exit code.
int RunWindowed(int argc, char** argv);

}  // namespace ampora
