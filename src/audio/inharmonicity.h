#pragma once

#include <string>
#include <vector>

#include "pitch/piano_keys.h"

namespace merlop {

// The partials of a stiff string sit at f_n = n f0 sqrt(1 + B n^2). These find them in a recording
// of one key and fit f0 and B.

constexpr int kMinInharmonicPartials = kMinKeyPartials;
constexpr int kMaxInharmonicPartials = kMaxKeyPartials;
// The stiffest strings a piano has stay well below this.
constexpr double kMaxInharmonicity = StiffnessCurve::kMaxB;

struct InharmonicPartial {
    int number = 0;          // n, counted from the fundamental as 1
    double frequency = 0.0;  // Hz
    double amplitude = 0.0;  // peak over the analysed sustain, in the input's units
    double cents = 0.0;      // from number * f0 of the fit
};

struct InharmonicFit {
    bool ok = false;  // false for fewer than two partial numbers or a degenerate set
    double f0 = 0.0;
    double b = 0.0;
};

// Weighted least squares on (f_n / n)^2 = f0^2 + f0^2 B n^2, each partial weighted by how
// precisely its frequency pins that line (louder and higher partials more). Only number,
// frequency and amplitude are read.
InharmonicFit fitInharmonicity(const std::vector<InharmonicPartial>& partials);

struct InharmonicityOptions {
    double nominalF0 = 0.0;  // Hz, the key's frequency within a semitone; 0: find the key
    int maxPartials = kMaxInharmonicPartials;
    double maxSeconds = 2.0;  // of sustain analysed, from just after the loudest moment
};

struct InharmonicityResult {
    bool valid = false;   // f0 and B fitted from at least kMinInharmonicPartials partials
    std::string problem;  // why not, when not valid
    double f0 = 0.0;      // Hz
    double b = 0.0;       // at least 0
    std::vector<InharmonicPartial> partials;  // those found, by number; also when not valid
};

// Measures one key held or struck in x (mono samples of any scale at `rate` Hz).
InharmonicityResult measureInharmonicity(const std::vector<float>& x, int rate,
                                         const InharmonicityOptions& options = {});

}  // namespace merlop
