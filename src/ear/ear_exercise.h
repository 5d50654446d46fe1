#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/analysis_cycle.h"
#include "display/tuner_state.h"

namespace merlop {

class Settings;

// Why the ear-training settings admit no melody at all; the generator then leaves the current
// melody as it was.
enum class MelodyProblem {
    none,
    noteCount,    // Number of Notes below 1
    tempo,        // Tempo 0 or below
    range,        // the "to" note lies below the "from" note
    noScaleNote,  // no note of the scale in the range (in any key, for "Random")
    singleNote,   // one scale note in the range, more than one note asked for
    interval,     // no two scale notes in the range within the largest interval
};

// The text that tells the user which setting to change.
std::string melodyProblemText(MelodyProblem problem);

// One ear-training exercise: a random melody under the Ear training settings, played note by
// note, and the notes heard back, judged by pitch class so octave errors pass.
//
// Melodies are key numbers in MIDI numbering (60 = middle C); answers are pitch classes with
// 0 = A, as the analysis delivers them.
class EarExercise final : public ExerciseNotes, public EarAnswerSink {
  public:
    static constexpr int kScales = 7;
    // Draws per note before the generator falls back to a choice among the notes that fit.
    static constexpr int kMaxDraws = 1000;

    // Rows in the order of the settings page's "Scale" list; columns C-based, relative to the key.
    static const std::array<std::array<std::uint8_t, 12>, kScales> kScaleTable;
    static const std::array<const char*, kScales> kScaleNames;

    // random: non-negative integers, like rand(); clock: milliseconds of a steady clock.
    // Without them: a generator seeded from the time of day, and the process's steady clock.
    EarExercise();
    EarExercise(std::function<std::uint32_t()> random, std::function<std::uint32_t()> clock);

    // A generator seeded once from the time of day.
    static std::function<std::uint32_t()> seededRandom();

    void setRandomSource(std::function<std::uint32_t()> random) { random_ = std::move(random); }

    // A new melody; on a problem nothing changes and the problem is returned.
    MelodyProblem generate(const Settings& settings);
    // The same melody again, the answers forgotten.
    void rewind();

    int nextNote() override;
    bool showNote() const override;
    int noteDuration() const override { return msPerNote_; }

    void recordAnswer(int pitchClass) override;
    // 1 when every note was heard in order, -1 otherwise.
    int judge() const;

    int melodyLength() const { return static_cast<int>(notes_.size()); }
    const std::vector<int>& notes() const { return notes_; }
    const std::vector<int>& answers() const { return answers_; }
    int answerIndex() const { return answerIndex_; }
    int playIndex() const { return playIndex_; }
    int key() const { return key_; }

  private:
    std::uint32_t draw() { return random_(); }

    std::function<std::uint32_t()> random_;
    std::function<std::uint32_t()> clock_;
    std::vector<int> notes_;
    std::vector<int> answers_;
    int answerIndex_ = -1;
    int playIndex_ = -1;
    int msPerNote_ = 200;
    int showFirst_ = -1;
    int key_ = 0;
    std::uint32_t lastCall_ = 0;
};

}  // namespace merlop
