#pragma once

#include <cstdint>

#include "audio/frame.h"

// The sweep effects average a stage ring over the span their read position moved across.
// After a long pause (or with a hand-edited depth) that span may be a whole ring or many,
// so these do in bounded time what a frame-by-frame loop would, with the same result.

namespace ampora {

// Sum of ring[WrapIndex(k)].left for k = first .. first + count - 1 (count >= 0), as a
// 64-bit integer. Costs at most two passes over the ring, however long the span.
int64_t SumLeftOverSpan(const Frame* ring, int32_t ringLen, int64_t first, int64_t count);

// value + 1 + 1 + ... (count ones, count >= 0, value >= 0), rounded after every addition
// exactly as a loop of double additions would be, in O(log count) steps.
double AddOnesOneByOne(double value, int64_t count);

}  // namespace ampora
