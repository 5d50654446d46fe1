#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pitch/stretch_tuning.h"

namespace merlop {

// Piano keys by name, and one key's inharmonicity measurement as a line of text.

// "A0", "Bb0", "B0", "C1", "Db1" ... "C8": flats, as the tuner names notes by default; "" for a
// MIDI number that is no piano key.
std::string pianoKeyName(int midi);
// MIDI number of a key name: a letter A to G (or a to g), then # or b or nothing, then the octave;
// -1 when the text is no such name or names no key from A0 to C8.
int pianoKeyOfName(std::string_view name);

// Fewer partials cannot tell B from a mistuned f0; more are not looked for.
constexpr int kMinKeyPartials = 3;
constexpr int kMaxKeyPartials = 16;

// One key as measured: f_n = n f0 sqrt(1 + B n^2) fitted to `partials` partials.
struct KeyMeasurement {
    int midi = 0;
    double f0 = 0.0;  // Hz
    double b = 0.0;
    int partials = 0;
};

// The text form, fields separated by single blanks: KEY F0 B PARTIALS, e.g.
// "A0 27.50210 0.00051234 14" (f0 to 5 decimals, B to 8 significant digits).
std::string formatKeyMeasurement(const KeyMeasurement& m);
// Reads the text form; blanks and tabs around fields are allowed. Empty on success, else why the
// line is refused (unknown key, f0 not 10 to 20000 Hz, B not 0 to 0.05, partials not a whole
// number of 3 to 16, fields missing or extra); *out is then unchanged.
std::string parseKeyMeasurement(std::string_view line, KeyMeasurement* out);

// Several, separated by ';' or new lines (empty entries skipped), as one merlop.conf value or a
// file holds them. Refuses the whole text, naming the entry, when one entry is bad or a key comes
// twice; *out is then unchanged.
std::string parseKeyMeasurements(std::string_view text, std::vector<KeyMeasurement>* out);
// Joined by "; ", parseKeyMeasurements' input.
std::string formatKeyMeasurements(const std::vector<KeyMeasurement>& list);

std::vector<KeyStiffness> stiffnessOf(const std::vector<KeyMeasurement>& list);

}  // namespace merlop
