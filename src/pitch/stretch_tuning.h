#pragma once

#include <string>
#include <vector>

namespace merlop {

// Stretched piano tuning: the targets of the 88 keys for a string stiffness (B) curve, so that
// chosen partials of every octave coincide.
//
// A key's string sounds partial n at n F sqrt(1 + B n^2); its target is the frequency of partial
// 1, F sqrt(1 + B), what a tuner reads on its fundamental. A4 is the reference A.
//
// An octave of type 2h:h makes partial 2h of the lower key sound with partial h of the upper:
//   2h F_lo sqrt(1 + B_lo 4h^2) = h F_up sqrt(1 + B_up h^2).
// The temperament octave A4..A5 is tuned first: A5 from A4 by its octave rule, the keys between
// by equal division of that stretched octave (equal steps of the partial-1 frequencies' logs).
// Every key above A5 is then tuned from the key an octave below it and every key below A4 from
// the key an octave above it, each by the rule of the octave they span. So every octave of the
// keyboard is pure by its rule, and the octaves below A4 are stretched flat as those above are
// sharp.

constexpr int kPianoKeys = 88;
constexpr int kLowestPianoMidi = 21;    // A0
constexpr int kHighestPianoMidi = 108;  // C8
constexpr int kReferenceMidi = 69;      // A4

enum class OctaveRule {
    twoOne,    // 2:1, partial 2 of the lower key with partial 1 of the upper
    fourTwo,   // 4:2
    sixThree,  // 6:3
    // By register, after the lower key of the octave: 6:3 below C3 (MIDI 48), where the
    // fundamentals are weak and the low partials beat; 4:2 from C3 to B4; 2:1 from C5 (MIDI 72),
    // where few partials are left.
    mix,
};

// "2:1", "4:2", "6:3", "mix", or false.
bool parseOctaveRule(const std::string& text, OctaveRule* out);
const char* octaveRuleName(OctaveRule rule);

// h of the 2h:h octave whose lower key is lowerMidi.
int upperPartialOf(OctaveRule rule, int lowerMidi);

// B measured (or chosen) at one key.
struct KeyStiffness {
    int midi = 0;  // 21..108
    double b = 0.0;
};

// B at every key: log B linear in the key number between the given keys; outside them the line
// through the two outermost keys on that side goes on, held to kMinB .. kMaxB. A B of 0
// counts as kMinB.
class StiffnessCurve {
  public:
    static constexpr double kMinB = 1.0e-7;
    static constexpr double kMaxB = 0.05;

    // Keys in any order; check() them first.
    explicit StiffnessCurve(std::vector<KeyStiffness> keys);
    // Empty when the keys make a curve: at least 3, each a piano key given once, each B within
    // 0..0.05. Else what is wrong, naming the key.
    static std::string check(const std::vector<KeyStiffness>& keys);

    double at(int midi) const;

  private:
    std::vector<KeyStiffness> keys_;  // by key, B as given (at least kMinB)
};

struct StretchTarget {
    int midi = 0;
    double frequency = 0.0;  // Hz of partial 1 at the reference A given
    double cents = 0.0;      // from equal temperament at that reference
    double b = 0.0;          // of the curve at this key
};

struct StretchResult {
    std::string problem;                 // empty on success
    std::vector<StretchTarget> targets;  // A0..C8 on success, else empty
};

StretchResult computeStretch(const std::vector<KeyStiffness>& keys, double referenceA,
                             OctaveRule rule);

// The frequency of partial n of a key whose partial 1 is at `target` Hz.
double partialOfTarget(double target, double b, int n);

}  // namespace merlop
