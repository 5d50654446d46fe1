#include "pitch/pitch_model.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "pitch/temperament_table.h"

namespace merlop {

namespace {

const char* const kFlatNames[12] = {"A",  "Bb", "B", "C",  "Db", "D",
                                    "Eb", "E",  "F", "Gb", "G",  "Ab"};
const char* const kSharpNames[12] = {"A",  "A#", "B", "C",  "C#", "D",
                                     "D#", "E",  "F", "F#", "G",  "G#"};

// 12 / ln 2 to ten significant digits; the literal is kept so readings match the stored tables.
constexpr double kSemitonesPerLn = 17.31234049;

int positiveMod12(int n) {
    int r = n % 12;
    return r < 0 ? r + 12 : r;
}

// Halves away from zero; -0.0 compares equal to zero and takes the positive branch.
int roundCents(float deviation) {
    const double d = static_cast<double>(deviation) * 100.0;
    return static_cast<int>(deviation >= 0.0f ? std::trunc(d + 0.5) : std::trunc(d - 0.5));
}

}  // namespace

PitchModel::PitchModel()
    : baseFrequency_(13.75f),
      referenceA_(440.0f),
      tuningFrequency_{},
      tuningNoteValue_{},
      tuningCount_(0),
      sharpNotation_(0),
      temperamentIndex_(0),
      tempered_(false),
      temperamentOffset_{} {}

void PitchModel::setReferenceA(int hz) {
    referenceA_ = static_cast<float>(hz);
    baseFrequency_ = static_cast<float>(static_cast<double>(referenceA_) * 0.03125);
}

void PitchModel::setSharpNotation(int flag) {
    sharpNotation_ = flag;
}

void PitchModel::setTemperament(int index, int key, int referenceNote) {
    if (index < 0 || index >= TemperamentTable::kRows) index = 0;
    placeTemperament(TemperamentTable::row(index), key, referenceNote);
    temperamentIndex_ = index;
    tempered_ = index > 0;
}

void PitchModel::setTemperamentOffsets(const std::array<float, 12>& cents, int key,
                                       int referenceNote, int index) {
    placeTemperament(cents, key, referenceNote);
    temperamentIndex_ = index;
    tempered_ = true;
}

void PitchModel::placeTemperament(const std::array<float, 12>& t, int key, int referenceNote) {
    key = positiveMod12(key);
    referenceNote = positiveMod12(referenceNote);
    const int r = (referenceNote - key + 12) % 12;
    for (int i = 0; i < 12; ++i) {
        temperamentOffset_[(i + key + 3) % 12] =
            static_cast<float>((static_cast<double>(t[i]) - t[r]) * 0.01);
    }
}

void PitchModel::setTuningNotes(const float* frequenciesAt440, int count) {
    if (count < 0) count = 0;
    if (count > kMaxTuningNotes) count = kMaxTuningNotes;
    const float factor = static_cast<float>(static_cast<double>(referenceA_) * (1.0 / 440.0));
    for (int i = 0; i < count; ++i) {
        tuningFrequency_[i] = static_cast<float>(static_cast<double>(frequenciesAt440[i]) * factor);
        tuningNoteValue_[i] = noteValueOf(tuningFrequency_[i]);
    }
    tuningCount_ = count;
}

float PitchModel::noteValueOf(float f) const {
    // A non-positive frequency has no note value; -1 is the program's "none".
    if (!(f > 0.0f)) return -1.0f;
    return static_cast<float>(std::log(static_cast<double>(f) / baseFrequency_) * kSemitonesPerLn);
}

float PitchModel::frequencyOfNoteValue(float v) const {
    return static_cast<float>(baseFrequency_ * std::pow(2.0, static_cast<double>(v) / 12.0));
}

float PitchModel::frequencyOfNote(int note, float deviation) const {
    double x = static_cast<double>(note) + deviation;
    if (tempered_) x += temperamentOffset_[positiveMod12(note)];
    return static_cast<float>(baseFrequency_ * std::pow(2.0, x / 12.0));
}

int PitchModel::splitNoteValue(float v, int* note, float* deviation) const {
    // Far outside any audible range (or NaN) there is no note; also keeps the int conversion
    // defined.
    if (!(std::fabs(v) < 1.0e6f)) {
        *note = -1;
        *deviation = 0.0f;
        return 0;
    }
    const double value = v;
    const int c = static_cast<int>(std::trunc(value + 0.5));
    int n = c;
    double position = c;
    if (tempered_) {
        double best = 99999.9;
        for (int k = c - 1; k <= c + 1; ++k) {
            const double p = k + static_cast<double>(temperamentOffset_[positiveMod12(k)]);
            const double d = std::fabs(value - p);
            if (d < best) {
                best = d;
                n = k;
                position = p;
            }
        }
    }
    *note = n;
    *deviation = static_cast<float>(value - position);
    return roundCents(*deviation);
}

int PitchModel::nearestNote(float f, float* deviation) const {
    if (baseFrequency_ > f || !(f > 0.0f)) {
        *deviation = 0.0f;
        return -1;
    }
    int note = -1;
    splitNoteValue(noteValueOf(f), &note, deviation);
    return note;
}

void PitchModel::nearestTuningNote(float v, int* index, float* difference) const {
    *index = -1;
    *difference = 0.0f;
    double best = 99999.9;
    for (int i = 0; i < tuningCount_; ++i) {
        const double d = std::fabs(static_cast<double>(v) - tuningNoteValue_[i]);
        if (d < best) {
            best = d;
            *index = i;
        }
    }
    if (*index >= 0) {
        *difference = static_cast<float>(static_cast<double>(v) - tuningNoteValue_[*index]);
    }
}

std::string PitchModel::noteName(int note) const {
    const int pc = positiveMod12(note);
    return sharpNotation_ ? kSharpNames[pc] : kFlatNames[pc];
}

int PitchModel::writtenNote(int note, int instrumentKey) {
    if (note < 0) return -1;
    // Held in range for any note a reading can carry.
    const std::int64_t written = std::int64_t{note} - instrumentKey;
    return static_cast<int>(std::clamp<std::int64_t>(written, INT_MIN + 1, INT_MAX));
}

int PitchModel::soundingNote(int writtenNote, int instrumentKey) {
    const std::int64_t sounding = std::int64_t{writtenNote} + instrumentKey;
    return static_cast<int>(std::clamp<std::int64_t>(sounding, INT_MIN + 1, INT_MAX));
}

std::string PitchModel::fullNoteName(int note) const {
    if (note < 0) return " ";
    // Wide enough for any int note, so a nonsense reading cannot overflow the MIDI number.
    const long long midi = static_cast<long long>(note) + midiNumber(0);
    return noteName(note) + " " + std::to_string(midi / 12 - 1);
}

std::string PitchModel::noteNameOfFrequency(float f) const {
    float deviation = 0.0f;
    const int note = nearestNote(f, &deviation);
    return note < 0 ? std::string(" ") : noteName(note);
}

}  // namespace merlop
