#include "util/error_trap.h"

namespace ampora {

std::atomic<int> ErrorCatch{0};

void RaiseRuntimeError(ErrorKind kind, const char* what) {
  throw RuntimeError(kind, what);
}

void RaiseOverflow() {
  RaiseRuntimeError(ErrorKind::kOverflow, "overflow");
}

void RaiseDivisionByZero() {
  RaiseRuntimeError(ErrorKind::kDivisionByZero, "division by zero");
}

}  // namespace ampora
