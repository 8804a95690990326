#pragma once

#include <cstdint>

#include "util/error_trap.h"

// Rounding and checked conversions. round(x) is to nearest with ties to even, and a
// conversion whose result leaves the target's range raises kOverflow (never
// undefined behaviour). clip() is the sample rule: |v| >= 32767 becomes sign(v) x 32767.

namespace ampora {

// Nearest integer as a double, ties to even, for |x| < 2^51. Adding 1.5 x 2^52 leaves
// no fraction bits, so the addition itself rounds, under the default rounding mode and
// with SSE2 doubles (x86-64). Without -ffast-math the compiler may not fold the pair away.
// It is the same result as std::nearbyint, several times cheaper where the latter is a
// library call.
inline double RoundHalfEvenSmall(double x) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 x 2^52
  return (x + kShift) - kShift;
}

// round() to a 32-bit integer, kept as a double: raises kOverflow outside -2^31 .. 2^31-1
// and for NaN. For recursions whose rounded state feeds the next double expression, it
// saves the trip through an integer register.
inline double RoundInt32Value(double x) {
  if (!(x >= -2147483648.5 && x < 2147483647.5)) RaiseOverflow();
  return RoundHalfEvenSmall(x);
}

// round() to a 32-bit integer; raises kOverflow outside -2^31 .. 2^31-1 and for NaN.
inline int32_t RoundInt32(double x) {
  return static_cast<int32_t>(RoundInt32Value(x));
}

// round() to a 16-bit integer; raises kOverflow outside -32768 .. 32767 and for NaN.
inline int16_t RoundInt16(double x) {
  if (!(x >= -32768.5 && x < 32767.5)) RaiseOverflow();
  return static_cast<int16_t>(RoundHalfEvenSmall(x));
}

// The stored-sample rule applied to an integer.
inline int16_t Clip(int32_t v) {
  if (v >= 32767) return 32767;
  if (v <= -32767) return -32767;
  return static_cast<int16_t>(v);
}

// clip(round(x)): what every stage stores.
inline int16_t ClipRound(double x) {
  return Clip(RoundInt32(x));
}

// Integer division truncating toward zero; raises on a zero divisor and on the one
// quotient that overflows.
inline int32_t DivInt32(int32_t a, int32_t b) {
  if (b == 0) RaiseDivisionByZero();
  if (a == INT32_MIN && b == -1) RaiseOverflow();
  return a / b;
}

// 32-bit sums, differences and products that raise kOverflow instead of wrapping.
inline int32_t AddInt32(int32_t a, int32_t b) {
  int32_t result = 0;
  if (__builtin_add_overflow(a, b, &result)) RaiseOverflow();
  return result;
}
inline int32_t SubInt32(int32_t a, int32_t b) {
  int32_t result = 0;
  if (__builtin_sub_overflow(a, b, &result)) RaiseOverflow();
  return result;
}
inline int32_t MulInt32(int32_t a, int32_t b) {
  int32_t result = 0;
  if (__builtin_mul_overflow(a, b, &result)) RaiseOverflow();
  return result;
}

}  // namespace ampora
