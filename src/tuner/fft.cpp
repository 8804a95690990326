#include "tuner/fft.h"

#include <cmath>

namespace ampora {

namespace {

constexpr int32_t kIndexBits = 11;  // 2^11 = C_FFT::kPoints
// The value the transform has always used for 2 pi; the spectrum depends on it bit for bit.
constexpr double kTwoPi = 6.28318530717958;

int32_t ReverseIndexBits(int32_t i) {
  int32_t r = 0;
  for (int32_t b = 0; b < kIndexBits; ++b) r |= ((i >> b) & 1) << (kIndexBits - 1 - b);
  return r;
}

}  // namespace

int32_t C_FFT::Init(int32_t pNum) {
  if (pNum != kPoints) return 0;
  n_ = pNum;
  inReal_.assign(static_cast<size_t>(n_), 0.0);
  outReal_.assign(static_cast<size_t>(n_), 0.0);
  outImag_.assign(static_cast<size_t>(n_), 0.0);
  reversed_.resize(static_cast<size_t>(n_));
  for (int32_t i = 0; i < n_; ++i) reversed_[static_cast<size_t>(i)] = ReverseIndexBits(i);
  return 1;
}

void C_FFT::RealIn(int32_t index, double value) {
  if (index >= 0 && index < n_) inReal_[static_cast<size_t>(index)] = value;
}

double C_FFT::RealOut(int32_t pl) const {
  return pl >= 0 && pl < n_ ? outReal_[static_cast<size_t>(pl)] : 0.0;
}

void C_FFT::FourierTransform() {
  if (n_ != kPoints) return;
  double* re = outReal_.data();
  double* im = outImag_.data();
  for (int32_t i = 0; i < n_; ++i) {
    re[reversed_[static_cast<size_t>(i)]] = inReal_[static_cast<size_t>(i)];
    im[i] = 0.0;
  }
  for (int32_t m = 2; m <= n_; m *= 2) {
    const int32_t h = m / 2;
    const double theta = kTwoPi / m;
    const double halfSine = std::sin(theta / 2.0);
    const double alpha = 2.0 * halfSine * halfSine;
    const double beta = std::sin(theta);
    for (int32_t g = 0; g < n_; g += m) {
      double wr = 1.0;
      double wi = 0.0;
      for (int32_t k = 0; k < h; ++k) {
        const int32_t i = g + k;
        const int32_t j = i + h;
        const double tr = wr * re[j] - wi * im[j];
        const double ti = wr * im[j] + wi * re[j];
        re[j] = re[i] - tr;
        im[j] = im[i] - ti;
        re[i] = re[i] + tr;
        im[i] = im[i] + ti;
        // w' = w e^(+i theta), with cos(theta) = 1 - alpha kept apart for accuracy.
        const double nextWr = wr - (alpha * wr + beta * wi);
        wi = wi - (alpha * wi - beta * wr);
        wr = nextWr;
      }
    }
  }
}

}  // namespace ampora
