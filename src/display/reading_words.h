#pragma once

#include <string>

namespace merlop {

// How the meter judges a reading, so the spoken words agree with what it shows.
struct ReadingWordsStyle {
    // Within this many cents the meter draws green; negative: only a zero reading is in tune.
    float inTuneCents = -1.0f;
    // Tenths of a cent, as the fine-tuning read-out shows them.
    bool fineTuning = false;
};

// A meter reading as a screen reader should speak it: "A 4, 3 cents sharp, 441.3 Hz",
// "A 4, in tune, 440.0 Hz", "no note". deviation is in semitones, as the meter takes it;
// name is the meter's note name ("C# 4").
std::string readingWords(float frequency, float deviation, int note, const std::string& name,
                         const ReadingWordsStyle& style);

// "C# 4" -> "C sharp 4", "Bb" -> "B flat"; any other name unchanged. A speech synthesiser
// reads "#" as "number" and "Bb" as a word.
std::string spokenNoteName(const std::string& name);

}  // namespace merlop
