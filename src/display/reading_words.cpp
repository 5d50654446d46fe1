#include "display/reading_words.h"

#include <cmath>
#include <cstdio>

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

std::string centsWords(double cents, bool fineTuning) {
    char text[48];
    const double size = std::fabs(cents);
    const char* direction = cents > 0.0 ? "sharp" : "flat";
    if (fineTuning) {
        std::snprintf(text, sizeof text, "%.1f cents %s", size, direction);
    } else {
        std::snprintf(text, sizeof text, "%.0f %s %s", size, size == 1.0 ? "cent" : "cents",
                      direction);
    }
    return text;
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
    std::string spoken(1, name[0]);
    spoken += accidental == '#' ? " sharp" : " flat";
    if (name.size() > 2 && name[2] != ' ') spoken += ' ';
    spoken += name.substr(2);
    return spoken;
}

std::string readingWords(float frequency, float deviation, int note, const std::string& name,
                         const ReadingWordsStyle& style) {
    // Written so that NaN lands here too.
    if (note < 0 || !(frequency > 0.0f) || !std::isfinite(frequency) || !std::isfinite(deviation))
        return "no note";
    // Beyond a few octaves a reading is nonsense; keep the number in range.
    const double d = std::fmax(-9.99, std::fmin(9.99, static_cast<double>(deviation)));
    const double cents = shownCents(d, style.fineTuning);
    const bool inTune =
        cents == 0.0 || (style.inTuneCents >= 0.0f &&
                         std::fabs(d) * 100.0 <= static_cast<double>(style.inTuneCents) + 1e-4);
    std::string words;
    std::string spoken = spokenNoteName(name);
    while (!spoken.empty() && spoken.back() == ' ') spoken.pop_back();
    while (!spoken.empty() && spoken.front() == ' ') spoken.erase(0, 1);
    if (!spoken.empty()) words = spoken + ", ";
    words += inTune ? std::string("in tune") : centsWords(cents, style.fineTuning);
    char hz[48];
    std::snprintf(hz, sizeof hz, ", %.1f Hz", static_cast<double>(frequency));
    return words + hz;
}

}  // namespace merlop
