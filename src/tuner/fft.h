#pragma once

#include <cstdint>
#include <vector>

namespace ampora {

// The discrete Fourier transform of a real signal of 2048 points: an in-order radix-2
// transform in double precision whose twiddle factors come from a recurrence restarted at
// (1, 0) for every group, so that every build gives the same spectrum bit for bit.
//
// The result is X[k] = sum over t of x[t] e^(+2 pi i k t / n), unscaled; only the real
// part, which equals that of the usual negative-exponent transform, can be read.
//
// Thread: UI thread (one object per owner; it has no shared state).
class C_FFT {
 public:
  static constexpr int32_t kPoints = 2048;

  // Allocates the arrays for pNum points, zero-filled. Returns 1; returns 0 and leaves the
  // object as it was for any count other than 2048, the one size the 11-bit index reversal
  // is built for. Nothing is allocated after Init.
  int32_t Init(int32_t pNum);
  int32_t Points() const { return n_; }

  // Input real[index] = value for 0 <= index < n; other indices are ignored. Values stay
  // until overwritten, so a transform without new input repeats the previous result.
  void RealIn(int32_t index, double value);
  // Output real[pl] for 0 <= pl < n, else 0.
  double RealOut(int32_t pl) const;

  // Computes the output arrays from the input real array. Does nothing before Init.
  void FourierTransform();

 private:
  int32_t n_ = 0;
  std::vector<double> inReal_;  // the input is real: there is no imaginary input
  std::vector<double> outReal_;
  std::vector<double> outImag_;
  std::vector<int32_t> reversed_;  // i with its lowest 11 bits reversed
};

}  // namespace ampora
