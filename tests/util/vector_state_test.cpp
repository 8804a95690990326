#include "util/vector_state.h"

#include <gtest/gtest.h>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>

#include <cstdint>

namespace ampora {
namespace {

// Whether the processor tells which register states are in use (XGETBV with ECX = 1).
bool CanReadStatesInUse() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__builtin_cpu_supports("avx") || !__get_cpuid_count(0xD, 1, &a, &b, &c, &d)) return false;
  return (a & (1u << 2)) != 0;
}

// Bit 2: the upper halves of the 256-bit registers are in use.
bool UpperHalvesInUse() {
  uint32_t low = 0, high = 0;
  asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
  return (low & (1u << 2)) != 0;
}

// As a painting library's wide code may: a 256-bit register written, no vzeroupper after.
// Written in assembly: a compiler adds the vzeroupper to AVX code of its own.
void LeaveUpperHalvesInUse() {
  asm volatile("vpcmpeqd %%ymm15, %%ymm15, %%ymm15" ::: "xmm15");
}

TEST(VectorState, TheUpperHalvesLeftInUseAreCleared) {
  if (!CanReadStatesInUse()) GTEST_SKIP() << "the processor does not tell";
  LeaveUpperHalvesInUse();
  ASSERT_TRUE(UpperHalvesInUse()) << "the wide code left them in use";
  ClearUpperVectorState();
  EXPECT_FALSE(UpperHalvesInUse());
}

}  // namespace
}  // namespace ampora
#endif
