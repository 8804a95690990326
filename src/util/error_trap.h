#pragma once

#include <atomic>
#include <stdexcept>
#include <string>
#include <utility>

// One error type for the program's run-time errors (a conversion that overflows,
// a division by zero, a failed check), and the trap that lets an operation end
// quietly with what it has so far.
//
// Convention: an operation runs its body under TrapErrors(). When a RuntimeError is
// raised inside, TrapErrors() returns false and the operation ends with its default
// result. When ErrorCatch is non-zero (the debugging switch), nothing is trapped: the
// error propagates to main(), which reports it and ends the program.
//
// Thread: UI thread. Device threads and the MIDI callback never raise.

namespace ampora {

enum class ErrorKind {
  kOverflow,        // a conversion to an integer that leaves the integer's range
  kDivisionByZero,  // an integer division or modulo by zero
  kFailedCheck,     // an index or size that a check found out of range
};

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(ErrorKind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

// The program's switch: non-zero means errors are not trapped. Code that runs inside
// another program (the plugin) passes a switch of its own to TrapErrors instead.
extern std::atomic<int> ErrorCatch;

// Raising lives out of line so the checked fast paths stay small.
[[noreturn]] void RaiseRuntimeError(ErrorKind kind, const char* what);
[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseDivisionByZero();

// Runs body(); returns true when it completed, false when it raised a RuntimeError
// that was trapped. With the switch on, the error propagates instead.
template <class Body>
bool TrapErrors(const std::atomic<int>& errorCatch, Body&& body) {
  try {
    body();
    return true;
  } catch (const RuntimeError&) {
    if (errorCatch.load(std::memory_order_relaxed) != 0) throw;
    return false;
  }
}

// The same under the program's switch, ErrorCatch.
template <class Body>
bool TrapErrors(Body&& body) {
  return TrapErrors(ErrorCatch, std::forward<Body>(body));
}

// Raises kFailedCheck unless the condition holds.
inline void Check(bool condition, const char* what) {
  if (!condition) RaiseRuntimeError(ErrorKind::kFailedCheck, what);
}

}  // namespace ampora
