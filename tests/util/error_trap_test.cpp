#include "util/error_trap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>

#include "util/rounding.h"

namespace ampora {
namespace {

// Restores the trap switch after each test.
class ErrorTrapTest : public ::testing::Test {
 protected:
  void TearDown() override { ErrorCatch = 0; }
};

int ConvertOrDefault(double x) {
  int result = -1;
  TrapErrors([&] { result = RoundInt32(x); });
  return result;
}

TEST_F(ErrorTrapTest, TrappedErrorEndsWithDefaultAndKeepsWhatWasDone) {
  int steps = 0;
  const bool completed = TrapErrors([&] {
    ++steps;
    RaiseOverflow();
  });
  EXPECT_FALSE(completed);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(ConvertOrDefault(1e12), -1);
  EXPECT_EQ(ConvertOrDefault(2.5), 2);
}

TEST_F(ErrorTrapTest, ErrorCatchLetsTheErrorPropagate) {
  ErrorCatch = 1;
  EXPECT_THROW(ConvertOrDefault(1e12), RuntimeError);
  try {
    TrapErrors([] { DivInt32(1, 0); });
    FAIL();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kDivisionByZero);
  }
}

// A plugin instance traps by its own switch, whatever the program's says.
TEST_F(ErrorTrapTest, AGivenSwitchDecidesInsteadOfTheProgramsSwitch) {
  std::atomic<int> own{0};
  ErrorCatch = 1;
  EXPECT_FALSE(TrapErrors(own, [] { RaiseOverflow(); }));
  ErrorCatch = 0;
  own = 1;
  EXPECT_THROW(TrapErrors(own, [] { RaiseOverflow(); }), RuntimeError);
}

TEST_F(ErrorTrapTest, OtherExceptionsAreNotTrapped) {
  EXPECT_THROW(TrapErrors([] { throw std::logic_error("bug"); }), std::logic_error);
}

TEST(RoundingTest, RoundsHalfToEven) {
  EXPECT_EQ(RoundInt32(0.5), 0);
  EXPECT_EQ(RoundInt32(1.5), 2);
  EXPECT_EQ(RoundInt32(2.5), 2);
  EXPECT_EQ(RoundInt32(-0.5), 0);
  EXPECT_EQ(RoundInt32(-1.5), -2);
  EXPECT_EQ(RoundInt32(-154.5), -154);
  EXPECT_EQ(RoundInt32(30.9), 31);
  EXPECT_EQ(RoundInt32(0.49999999999999994), 0);
  EXPECT_EQ(RoundInt16(-32768.4), -32768);
}

TEST(RoundingTest, AgreesWithNearbyintAcrossTheRange) {
  uint64_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    const double x =
        static_cast<double>(static_cast<int64_t>(state >> 1) % 4294967296ll - 2147483648ll) +
        static_cast<double>(state & 0xffff) / 65536.0;
    if (x < -2147483648.5 || x >= 2147483647.5) continue;
    ASSERT_EQ(RoundInt32(x), static_cast<int32_t>(std::nearbyint(x))) << x;
  }
}

TEST(RoundingTest, ConversionsOutOfRangeRaise) {
  EXPECT_EQ(RoundInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundInt32(-2147483648.5), INT32_MIN);  // ties to the even -2^31
  EXPECT_THROW(RoundInt32(2147483647.5), RuntimeError);
  EXPECT_THROW(RoundInt32(-2147483649.0), RuntimeError);
  EXPECT_THROW(RoundInt32(std::numeric_limits<double>::quiet_NaN()), RuntimeError);
  EXPECT_THROW(RoundInt32(std::numeric_limits<double>::infinity()), RuntimeError);
  EXPECT_EQ(RoundInt16(32767.4), 32767);
  EXPECT_THROW(RoundInt16(32767.5), RuntimeError);
  EXPECT_THROW(RoundInt16(-32769.0), RuntimeError);
  EXPECT_THROW(DivInt32(INT32_MIN, -1), RuntimeError);
  EXPECT_EQ(DivInt32(-7, 2), -3);
}

TEST(RoundingTest, ClipKeepsSamplesInsideSymmetricRange) {
  EXPECT_EQ(Clip(-32768), -32767);
  EXPECT_EQ(Clip(32767), 32767);
  EXPECT_EQ(Clip(100000), 32767);
  EXPECT_EQ(Clip(-32766), -32766);
  EXPECT_EQ(ClipRound(-40000.2), -32767);
}

}  // namespace
}  // namespace ampora
