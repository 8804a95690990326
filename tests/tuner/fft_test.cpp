#include "tuner/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "support/allocation_counter.h"

namespace ampora {
namespace {

constexpr int32_t kN = C_FFT::kPoints;

C_FFT Transformed(const std::vector<double>& input) {
  C_FFT fft;
  EXPECT_EQ(fft.Init(kN), 1);
  for (int32_t i = 0; i < static_cast<int32_t>(input.size()); ++i) fft.RealIn(i, input[i]);
  fft.FourierTransform();
  return fft;
}

// The real part of the plain DFT, in long double with exact angles: the reference.
long double DftReal(const std::vector<double>& x, int32_t k) {
  static const std::vector<long double> cosines = [] {
    std::vector<long double> table(kN);
    for (int32_t m = 0; m < kN; ++m) {
      table[static_cast<size_t>(m)] = std::cos(2 * std::numbers::pi_v<long double> * m / kN);
    }
    return table;
  }();
  long double sum = 0;
  for (int32_t t = 0; t < kN; ++t) {
    sum += x[static_cast<size_t>(t)] * cosines[static_cast<size_t>((k * t) % kN)];
  }
  return sum;
}

std::vector<double> RandomSignal(uint32_t seed, double amplitude) {
  std::vector<double> x(kN);
  uint32_t state = seed;
  for (double& v : x) {
    state = state * 1664525u + 1013904223u;
    v = amplitude * (static_cast<double>(state >> 8) / 8388608.0 - 1.0);
  }
  return x;
}

TEST(FourierTransform, MatchesThePlainDftWithinDoubleRounding) {
  // Each output is a sum of 2048 products through 11 butterfly levels whose twiddles come
  // from a recurrence of up to 1024 steps: the error stays within a few thousand units of
  // double rounding of the sum of |x|.
  for (const uint32_t seed : {1u, 7u, 2024u}) {
    const std::vector<double> x = RandomSignal(seed, 30000.0);
    double sumAbs = 0;
    for (double v : x) sumAbs += std::abs(v);
    const double tolerance = 4096 * std::numeric_limits<double>::epsilon() * sumAbs;
    const C_FFT fft = Transformed(x);
    double worst = 0;
    for (int32_t k = 0; k < kN; ++k) {
      worst = std::max(worst, std::abs(fft.RealOut(k) - static_cast<double>(DftReal(x, k))));
    }
    EXPECT_LE(worst, tolerance) << "seed " << seed;
  }
}

TEST(FourierTransform, KnownSignals) {
  const C_FFT zeros = Transformed(std::vector<double>(kN, 0.0));
  for (int32_t k = 0; k < kN; ++k) ASSERT_EQ(zeros.RealOut(k), 0.0) << "all zeros, index " << k;

  std::vector<double> half(kN, 0.0);
  std::fill(half.begin(), half.begin() + kN / 2, 0.75);
  EXPECT_DOUBLE_EQ(Transformed(half).RealOut(0), 1024 * 0.75);

  // A cosine of k cycles and amplitude A: A n / 2 at k and at n - k, nothing elsewhere.
  for (const int32_t k : {1, 41, 600, 1023}) {
    std::vector<double> cosine(kN);
    for (int32_t t = 0; t < kN; ++t) {
      cosine[static_cast<size_t>(t)] = 2500.0 * std::cos(2 * std::numbers::pi * k * t / kN);
    }
    const C_FFT fft = Transformed(cosine);
    EXPECT_NEAR(fft.RealOut(k), 1024 * 2500.0, 1e-6) << "k " << k;
    EXPECT_NEAR(fft.RealOut(kN - k), 1024 * 2500.0, 1e-6) << "k " << k;
    EXPECT_NEAR(fft.RealOut(k + 1), 0.0, 1e-6) << "k " << k;
  }
}

TEST(FourierTransform, IndicesOutsideThePointsAreIgnored) {
  const std::vector<double> x = RandomSignal(3, 100.0);
  C_FFT fft = Transformed(x);
  const double before = fft.RealOut(17);
  EXPECT_EQ(fft.RealOut(kN), 0.0);
  EXPECT_EQ(fft.RealOut(5000), 0.0);
  EXPECT_EQ(fft.RealOut(-1), 0.0);
  fft.RealIn(kN, 1e9);
  fft.RealIn(-1, 1e9);
  fft.RealIn(INT32_MAX, 1e9);
  fft.FourierTransform();
  EXPECT_EQ(fft.RealOut(17), before);
}

TEST(FourierTransform, InputStaysUntilOverwritten) {
  C_FFT fft = Transformed(RandomSignal(5, 1000.0));
  std::vector<double> first(kN);
  for (int32_t k = 0; k < kN; ++k) first[static_cast<size_t>(k)] = fft.RealOut(k);
  const uint64_t allocations = test::AllocationCount();
  fft.FourierTransform();
  EXPECT_EQ(test::AllocationCount(), allocations) << "nothing is allocated after Init";
  for (int32_t k = 0; k < kN; ++k) ASSERT_EQ(fft.RealOut(k), first[static_cast<size_t>(k)]);

  fft.RealIn(0, fft.RealOut(0) + 1.0);  // one changed value changes the result
  fft.FourierTransform();
  EXPECT_NE(fft.RealOut(0), first[0]);
}

TEST(FourierTransformInit, OnlyTheSizeOfTheIndexReversalIsAccepted) {
  C_FFT fresh;
  fresh.RealIn(0, 1.0);
  fresh.FourierTransform();  // before Init: nothing to do, nothing touched
  EXPECT_EQ(fresh.RealOut(0), 0.0);
  for (const int32_t n : {0, -2048, 1024, 4096, 2047}) {
    EXPECT_EQ(fresh.Init(n), 0) << n;
    EXPECT_EQ(fresh.Points(), 0) << n;
  }

  C_FFT fft = Transformed(std::vector<double>(kN, 1.0));
  EXPECT_EQ(fft.Init(1024), 0);
  EXPECT_EQ(fft.Points(), kN);
  EXPECT_EQ(fft.RealOut(0), kN) << "a refused Init keeps the arrays";
  EXPECT_EQ(fft.Init(kN), 1);
  fft.FourierTransform();
  EXPECT_EQ(fft.RealOut(0), 0.0) << "Init zero-fills the input";
}

}  // namespace
}  // namespace ampora
