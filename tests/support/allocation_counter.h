#pragma once

#include <cstdint>

namespace ampora::test {

// Number of calls of the global operator new since the program started. A test binary
// that uses this gets counting replacements of operator new and delete, so a test can
// prove that a real-time path allocates nothing:
//   const uint64_t before = AllocationCount(); ...; EXPECT_EQ(AllocationCount(), before);
uint64_t AllocationCount();

}  // namespace ampora::test
