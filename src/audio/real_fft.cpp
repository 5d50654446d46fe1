#include "audio/real_fft.h"

#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

namespace merlop {

RealFft::RealFft(unsigned n) {
    if (n == 0 || (n & (n - 1)) != 0) return;
    if (n < 4) {
        // One or two samples: DC (and Nyquist) need no tables.
        n_ = n;
        return;
    }
    const unsigned half = n / 2;
    cosTable_.resize(half);
    sinTable_.resize(half);
    for (unsigned k = 0; k < half; ++k) {
        // Each entry straight from the library: no drift from a recurrence.
        const double angle = 2.0 * std::numbers::pi * k / n;
        cosTable_[k] = std::cos(angle);
        sinTable_[k] = std::sin(angle);
    }
    bitReverse_.resize(half);
    unsigned bits = 0;
    while ((1u << bits) < half) ++bits;
    for (unsigned i = 0; i < half; ++i) {
        unsigned r = 0;
        for (unsigned b = 0; b < bits; ++b) r |= ((i >> b) & 1u) << (bits - 1 - b);
        bitReverse_[i] = r;
    }
    n_ = n;
}

// Complex radix-2 FFT of n/2 points, interleaved re/im; sign -1 forward, +1 inverse, unscaled.
void RealFft::complexTransform(float* data, int sign) const {
    const unsigned m = n_ / 2;
    for (std::size_t i = 0; i < m; ++i) {
        const std::size_t r = bitReverse_[i];
        if (i < r) {
            std::swap(data[2 * i], data[2 * r]);
            std::swap(data[2 * i + 1], data[2 * r + 1]);
        }
    }
    for (unsigned len = 2; len <= m; len *= 2) {
        const unsigned halfLen = len / 2;
        // Twiddle e^(sign 2 pi i j / len) is table entry j * (n / len).
        const std::size_t stride = n_ / len;
        for (std::size_t start = 0; start < m; start += len) {
            for (std::size_t j = 0; j < halfLen; ++j) {
                const double wr = cosTable_[j * stride];
                const double wi = sign * sinTable_[j * stride];
                float* a = data + 2 * (start + j);
                float* b = data + 2 * (start + j + halfLen);
                const double br = b[0], bi = b[1];
                const double tr = br * wr - bi * wi;
                const double ti = br * wi + bi * wr;
                const double ar = a[0], ai = a[1];
                a[0] = static_cast<float>(ar + tr);
                a[1] = static_cast<float>(ai + ti);
                b[0] = static_cast<float>(ar - tr);
                b[1] = static_cast<float>(ai - ti);
            }
        }
    }
}

void RealFft::forward(float* data) const {
    if (n_ < 2) return;  // one sample is its own DC value
    if (n_ == 2) {
        const double a = data[0], b = data[1];
        data[0] = static_cast<float>((a + b) * 0.5);
        data[1] = static_cast<float>((a - b) * 0.5);
        return;
    }
    complexTransform(data, -1);
    const unsigned half = n_ / 2;
    const double scale = 1.0 / n_;
    // Bin 0 and n/2 are both real and share the first slot.
    const double z0r = data[0], z0i = data[1];
    data[0] = static_cast<float>((z0r + z0i) * scale);
    data[1] = static_cast<float>((z0r - z0i) * scale);
    // Bins k and n/2 - k come from Z_k and Z_(n/2-k) together.
    for (std::size_t k = 1; k <= half / 2; ++k) {
        const std::size_t j = half - k;
        const double zkr = data[2 * k], zki = data[2 * k + 1];
        const double zjr = data[2 * j], zji = data[2 * j + 1];
        // E = (Z_k + conj Z_j) / 2, O = (Z_k - conj Z_j) / (2i) * e^(-2 pi i k / n)
        const double er = 0.5 * (zkr + zjr), ei = 0.5 * (zki - zji);
        const double dr = 0.5 * (zki + zji), di = -0.5 * (zkr - zjr);
        const double wr = cosTable_[k], wi = -sinTable_[k];
        const double orr = dr * wr - di * wi, oi = dr * wi + di * wr;
        data[2 * k] = static_cast<float>((er + orr) * scale);
        data[2 * k + 1] = static_cast<float>((ei + oi) * scale);
        if (j != k) {
            // X_(n/2-k) = conj(E - O)
            data[2 * j] = static_cast<float>((er - orr) * scale);
            data[2 * j + 1] = static_cast<float>(-(ei - oi) * scale);
        }
    }
}

void RealFft::inverse(float* data) const {
    if (n_ < 2) return;
    if (n_ == 2) {
        const double dc = data[0], nyquist = data[1];
        data[0] = static_cast<float>(dc + nyquist);
        data[1] = static_cast<float>(dc - nyquist);
        return;
    }
    const unsigned half = n_ / 2;
    const double x0 = data[0], xh = data[1];
    data[0] = static_cast<float>(x0 + xh);
    data[1] = static_cast<float>(x0 - xh);
    for (std::size_t k = 1; k <= half / 2; ++k) {
        const std::size_t j = half - k;
        const double xkr = data[2 * k], xki = data[2 * k + 1];
        const double xjr = data[2 * j], xji = data[2 * j + 1];
        // A = X_k + conj X_j, B = X_k - conj X_j; Z_k = (A + i B e^(2 pi i k / n)) / 2 and
        // Z_j = conj(A - i B e^(2 pi i k / n)) / 2.
        const double ar = xkr + xjr, ai = xki - xji;
        const double br = xkr - xjr, bi = xki + xji;
        const double wr = cosTable_[k], wi = sinTable_[k];
        const double tr = br * wr - bi * wi, ti = br * wi + bi * wr;  // B e^(..)
        const double itr = -ti, iti = tr;                             // i B e^(..)
        data[2 * k] = static_cast<float>(0.5 * (ar + itr));
        data[2 * k + 1] = static_cast<float>(0.5 * (ai + iti));
        if (j != k) {
            data[2 * j] = static_cast<float>(0.5 * (ar - itr));
            data[2 * j + 1] = static_cast<float>(-0.5 * (ai - iti));
        }
    }
    complexTransform(data, +1);
}

}  // namespace merlop
