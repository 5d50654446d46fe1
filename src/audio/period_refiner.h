#pragma once

#include <vector>

namespace merlop {

// Refines a period found in whole samples to a small fraction of a sample, from how far the
// phases of the harmonics advance across the block. Plain arithmetic on the raw block: it knows
// nothing of the rate, so the calibrated rate applies to its result as to the search's.
//
// Each estimate compares one Hann-windowed segment at the start of the block with like segments
// a whole number of (found) periods later. A segment spans a whole number of periods, so every
// other harmonic and each one's mirror image sit on zeros of the window; and as the later segment
// starts whole periods on, what little leaks in returns with the same phase and cancels.
// Baselines grow fourfold, so that each pass leaves an error well inside the half cycle of the
// next one's strongest harmonics; the last spans about two thirds of the block.
//
// Error budget, per block: noise and quantisation about 1.5 times the Cramer-Rao bound (the two
// segments hold two thirds of the block); leakage under 0.005 cent, as the found period misses
// the true one by well under a sample; the float period handed on about 0.0002 cent.
class PeriodRefiner {
  public:
    static constexpr int kMaxHarmonics = 12;
    static constexpr int kMaxSegments = 4;
    static constexpr int kGroup = 4;  // harmonics measured together

    // n: the longest block to be refined.
    explicit PeriodRefiner(int n);

    // The refined period of x[0..n-1] given the period found there; `period` itself when the block
    // holds fewer than four periods, when it has no harmonic energy or when the refinement strays
    // further than the found period can be off.
    double refine(const int* x, int n, double period);

  private:
    struct Segments {
        int count = 0;
        int length = 0;                // samples of each segment
        int start[kMaxSegments] = {};  // segment 0 starts at 0; the others in ascending order
    };

    bool placeSegments(int n, double period, Segments* s) const;
    void measureHarmonics(const int* x, const Segments& s, double omega, int harmonics);
    double correction(const Segments& s, int segment, double omega, int harmonics) const;

    std::vector<double> window_;
    // Per harmonic and segment: the Goertzel result at the harmonic, before the common phase
    // factor that cancels between segments.
    double re_[kMaxHarmonics][kMaxSegments] = {};
    double im_[kMaxHarmonics][kMaxSegments] = {};
};

}  // namespace merlop
