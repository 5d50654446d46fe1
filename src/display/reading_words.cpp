#include "display/reading_words.h"

#include <cmath>
#include <cstdio>

#include "common/translation.h"

namespace merlop {

namespace {

bool isNoteLetter(char c) {
    return c >= 'A' && c <= 'G';
}

// The cents as the meter's read-out rounds them.
double shownCents(double deviation, bool fineTuning) {
    if (fineTuning) return std::round(deviation * 1000.0) / 10.0;
    return std::trunc(deviation * 100.1);
}

// One pattern for each direction and number, so a language may bend the words as it needs.
std::string centsWords(double cents, bool fineTuning) {
    char number[32];
    const double size = std::fabs(cents);
    std::snprintf(number, sizeof number, fineTuning ? "%.1f" : "%.0f", size);
    const bool sharp = cents > 0.0;
    std::string pattern;
    if (fineTuning || size != 1.0) {
        pattern = sharp ? translate("ReadingWords", "%1 cents sharp")
                        : translate("ReadingWords", "%1 cents flat");
    } else {
        pattern = sharp ? translate("ReadingWords", "%1 cent sharp")
                        : translate("ReadingWords", "%1 cent flat");
    }
    return fill(pattern, {number});
}

}  // namespace

std::string spokenNoteName(const std::string& name) {
    if (name.size() < 2 || !isNoteLetter(name[0])) return name;
    const char accidental = name[1];
    if (accidental != '#' && accidental != 'b') return name;
    // "Bbass" is someone's own caption, not B flat.
    const bool octaveNext =
        name.size() > 2 && (name[2] == '-' || (name[2] >= '0' && name[2] <= '9'));
    if (name.size() > 2 && name[2] != ' ' && !octaveNext) return name;
    const std::string letter(1, name[0]);
    std::string spoken = accidental == '#' ? fill(translate("ReadingWords", "%1 sharp"), {letter})
                                           : fill(translate("ReadingWords", "%1 flat"), {letter});
    if (name.size() > 2 && name[2] != ' ') spoken += ' ';
    spoken += name.substr(2);
    return spoken;
}

std::string readingWords(float frequency, float deviation, int note, const std::string& name,
                         const ReadingWordsStyle& style) {
    // Written so that NaN lands here too.
    if (note < 0 || !(frequency > 0.0f) || !std::isfinite(frequency) || !std::isfinite(deviation))
        return translate("ReadingWords", "no note");
    // Beyond a few octaves a reading is nonsense; keep the number in range.
    const double d = std::fmax(-9.99, std::fmin(9.99, static_cast<double>(deviation)));
    const double cents = shownCents(d, style.fineTuning);
    const bool inTune =
        cents == 0.0 || (style.inTuneCents >= 0.0f &&
                         std::fabs(d) * 100.0 <= static_cast<double>(style.inTuneCents) + 1e-4);
    std::string spoken = spokenNoteName(name);
    while (!spoken.empty() && spoken.back() == ' ') spoken.pop_back();
    while (!spoken.empty() && spoken.front() == ' ') spoken.erase(0, 1);
    const std::string state =
        inTune ? translate("ReadingWords", "in tune") : centsWords(cents, style.fineTuning);
    char hz[32];
    std::snprintf(hz, sizeof hz, "%.1f", static_cast<double>(frequency));
    // note, how far off, frequency
    if (spoken.empty()) return fill(translate("ReadingWords", "%1, %2 Hz"), {state, hz});
    return fill(translate("ReadingWords", "%1, %2, %3 Hz"), {spoken, state, hz});
}

}  // namespace merlop
