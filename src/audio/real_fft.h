#pragma once

#include <vector>

namespace merlop {

// Real FFT of a fixed power-of-two size n, done as a complex FFT of n/2 points over the
// interleaved samples plus a split step. Tables are built once; calls do not allocate.
//
// Packed spectrum layout (n floats): data[0] = DC, data[1] = Nyquist, data[2k] and data[2k + 1] =
// real and imaginary part of bin k, k = 1..n/2 - 1. For n = 1 there is only the DC value.
class RealFft {
  public:
    // A size that is not a power of two (0 included) leaves the transform unusable (size() == 0).
    explicit RealFft(unsigned n);

    unsigned size() const { return n_; }
    bool usable() const { return n_ != 0; }

    // In place, n samples -> packed spectrum, every value divided by n: a sine of amplitude a gives
    // a bin magnitude of a/2.
    void forward(float* data) const;

    // In place, packed spectrum -> n samples, not normalised: real X_k at bins 1..n/2 - 1 come back
    // as x[j] = sum X_k cos(2 pi j k / n); DC and Nyquist come back at their own value, so a
    // forward + inverse round trip returns the block at half amplitude (DC and Nyquist at full).
    void inverse(float* data) const;

  private:
    void complexTransform(float* data, int sign) const;

    unsigned n_ = 0;
    std::vector<unsigned> bitReverse_;  // swap partner of each complex index, n/2 entries
    std::vector<double> cosTable_;      // cos(2 pi k / n), k = 0..n/2 - 1 (complex twiddles use
    std::vector<double> sinTable_;      // every second entry)
};

}  // namespace merlop
