#include "effects/ring_span.h"

#include <algorithm>
#include <cmath>

#include "effects/ring_history.h"

namespace ampora {

namespace {

int64_t SumLeft(const Frame* ring, int32_t from, int32_t to) {
  int64_t sum = 0;
  for (int32_t k = from; k < to; ++k) sum += ring[k].left;
  return sum;
}

}  // namespace

int64_t SumLeftOverSpan(const Frame* ring, int32_t ringLen, int64_t first, int64_t count) {
  // Any ringLen consecutive indices cover the ring once.
  const int64_t wholeRings = count / ringLen;
  const auto rest = static_cast<int32_t>(count % ringLen);
  int64_t sum = wholeRings > 0 ? wholeRings * SumLeft(ring, 0, ringLen) : 0;
  const int32_t from = WrapIndex(first, ringLen);
  const int32_t beforeEnd = std::min(rest, ringLen - from);
  sum += SumLeft(ring, from, from + beforeEnd);
  sum += SumLeft(ring, 0, rest - beforeEnd);
  return sum;
}

double AddOnesOneByOne(double value, int64_t count) {
  // Below 2^52 a double's spacing is at most 1/2, so adding 1 is exact as long as the sum
  // stays below the next power of two; only the one addition that crosses it rounds.
  constexpr double kExactLimit = 4503599627370496.0;  // 2^52
  while (count > 0) {
    if (value < kExactLimit) {
      int exponent = 0;
      std::frexp(value, &exponent);
      const double room = std::ldexp(1.0, exponent) - value;  // exact
      const auto exactSteps = std::min(count, static_cast<int64_t>(std::ceil(room)) - 1);
      value += static_cast<double>(exactSteps);
      count -= exactSteps;
      if (count == 0) break;
    }
    value += 1.0;
    --count;
  }
  return value;
}

}  // namespace ampora
