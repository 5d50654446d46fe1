#include "settings/scala_convert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/translation.h"

namespace merlop {

namespace {

constexpr int kKeys = 128;

long long floorDivide(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// At most n code points of UTF-8 text.
std::string firstCharacters(const std::string& s, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (count++ == n) return s.substr(0, i);
    }
    return s;
}

// The label of the degree (the period's for the unison) or its number, and its period counted
// from the octave of the middle note.
std::string degreeName(const ScalaScale& scale, long long degree, int middleNote) {
    const long long n = scale.size();
    const long long q = floorDivide(degree, n);
    const long long r = degree - q * n;
    const std::string& label =
        scale.pitches[static_cast<std::size_t>(r == 0 ? n - 1 : r - 1)].label;
    const std::string base = label.empty() ? "deg " + std::to_string(r) : firstCharacters(label, 9);
    return base + " " + std::to_string(middleNote / 12 - 1 + q);
}

int nearestMidiKey(double f) {
    const double key = std::round(69.0 + 12.0 * std::log2(f / 440.0));
    return key >= 1.0 && key <= 127.0 ? static_cast<int>(key) : 0;
}

struct Candidate {
    int key;
    TuningNote note;
};

// The first 96 of the keys nearest the reference, the rest to tooMany; both back in key order.
void keepNearest(std::vector<Candidate>* notes, int reference, std::vector<int>* tooMany) {
    const auto byKey = [](const Candidate& a, const Candidate& b) { return a.key < b.key; };
    if (static_cast<int>(notes->size()) > Tuning::kMaxNotes) {
        std::stable_sort(notes->begin(), notes->end(), [&](const Candidate& a, const Candidate& b) {
            return std::abs(a.key - reference) < std::abs(b.key - reference);
        });
        for (std::size_t i = Tuning::kMaxNotes; i < notes->size(); ++i)
            tooMany->push_back((*notes)[i].key);
        notes->resize(Tuning::kMaxNotes);
        std::sort(tooMany->begin(), tooMany->end());
    }
    std::sort(notes->begin(), notes->end(), byKey);
}

}  // namespace

bool isTemperamentScale(const ScalaScale& scale) {
    return scale.size() == 12 && std::fabs(scale.periodCents() - 1200.0) < 1.0e-6;
}

std::array<double, 12> temperamentOffsets(const ScalaScale& scale) {
    std::array<double, 12> offsets{};
    for (int i = 1; i < 12 && i <= scale.size(); ++i) {
        offsets[static_cast<std::size_t>(i)] =
            scale.pitches[static_cast<std::size_t>(i - 1)].cents - 100.0 * i;
    }
    return offsets;
}

std::array<float, 12> temperamentRow(const ScalaScale& scale) {
    const std::array<double, 12> offsets = temperamentOffsets(scale);
    std::array<float, 12> row{};
    for (std::size_t i = 0; i < 12; ++i) row[i] = static_cast<float>(offsets[i]);
    return row;
}

ScalaScale scaleOfTemperament(const std::array<float, 12>& offsets,
                              const std::string& description) {
    ScalaScale scale;
    scale.description = description;
    for (int i = 1; i < 12; ++i) {
        const double cents = 100.0 * i + static_cast<double>(offsets[static_cast<std::size_t>(i)]) -
                             static_cast<double>(offsets[0]);
        scale.pitches.push_back({cents, {}});
    }
    scale.pitches.push_back({1200.0, {}});
    return scale;
}

std::string keyName(int key) {
    static const char* const kNames[12] = {"C",  "Db", "D",  "Eb", "E",  "F",
                                           "Gb", "G",  "Ab", "A",  "Bb", "B"};
    return key >= 0 && key < 12 ? kNames[key] : "C";
}

std::string temperamentDescription(const std::string& name, int key) {
    std::string trimmedName = name;
    while (!trimmedName.empty() && trimmedName.back() == ' ') trimmedName.pop_back();
    return trimmedName + ", key " + keyName(key);
}

std::string safeFileName(const std::string& name) {
    std::string out;
    for (const char c : name) {
        const bool safe =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (safe) {
            out += c;
        } else if (!out.empty() && out.back() != '_') {
            out += '_';
        }
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out.empty() ? "scale" : out;
}

ScalaKeyboardMap defaultKeyboardMap(int key) {
    ScalaKeyboardMap map;
    key = ((key % 12) + 12) % 12;
    map.middleNote = 60 + key;
    map.referenceNote = map.middleNote;
    map.referenceFrequency = 440.0 * std::pow(2.0, (map.middleNote - 69) / 12.0);
    return map;
}

ScalaTuning tuningOfScale(const ScalaScale& scale, const ScalaKeyboardMap& map,
                          const std::string& name) {
    ScalaTuning result;
    if (scale.size() == 0) {
        result.problem = translate("ScalaFile", "the scale has no pitches");
        return result;
    }
    ScalaKeyboardMap anyKey = map;
    anyKey.firstNote = 0;
    anyKey.lastNote = kKeys - 1;
    long long referenceDegree = 0;
    if (!anyKey.degreeOfKey(map.referenceNote, scale.size(), &referenceDegree)) {
        result.problem =
            fill(translate("ScalaFile", "the keyboard map leaves its reference note %1 unmapped"),
                 {std::to_string(map.referenceNote)});
        return result;
    }
    const double referenceCents = scale.degreeCents(referenceDegree);
    std::vector<Candidate> notes;
    for (int key = 0; key < kKeys; ++key) {
        long long degree = 0;
        if (!map.degreeOfKey(key, scale.size(), &degree)) continue;
        const double cents = scale.degreeCents(degree) - referenceCents;
        const double f = map.referenceFrequency * std::pow(2.0, cents / 1200.0);
        const auto frequency = static_cast<float>(std::min(f, 1.0e30));
        if (!usableTuningFrequency(frequency)) {
            result.unsoundable.push_back(key);
            continue;
        }
        TuningNote note;
        note.description = degreeName(scale, degree, map.middleNote);
        note.frequency = frequency;
        note.note = nearestMidiKey(f);
        notes.push_back({key, note});
    }
    if (notes.empty()) {
        result.problem =
            translate("ScalaFile", "no key of the keyboard map gives a pitch a tuner can sound");
        return result;
    }
    keepNearest(&notes, map.referenceNote, &result.tooMany);
    result.tuning.setName(name);
    for (std::size_t i = 0; i < notes.size(); ++i)
        result.tuning.insertEntry(static_cast<int>(i), notes[i].note);
    return result;
}

std::string keyRanges(const std::vector<int>& keys) {
    std::string out;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t j = i;
        while (j + 1 < keys.size() && keys[j + 1] == keys[j] + 1) ++j;
        out += (out.empty() ? "" : ", ") + std::to_string(keys[i]);
        if (j > i) out += "-" + std::to_string(keys[j]);
        i = j + 1;
    }
    return out;
}

}  // namespace merlop
