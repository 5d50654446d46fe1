#include "ear/ear_exercise.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>

#include "common/translation.h"
#include "settings/settings.h"

namespace merlop {

const std::array<std::array<std::uint8_t, 12>, EarExercise::kScales> EarExercise::kScaleTable = {{
    {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},  // Chromatic
    {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1},  // Major
    {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1},  // Harmonic Minor
    {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0},  // Whole tone
    {1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1},  // Diminshed
    {1, 0, 0, 1, 0, 1, 1, 1, 0, 0, 1, 0},  // Blues
    {1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0},  // Pentatonic
}};

const std::array<const char*, EarExercise::kScales> EarExercise::kScaleNames = {
    "Chromatic", "Major", "Harmonic Minor", "Whole tone", "Diminshed", "Blues", "Pentatonic"};

namespace {

constexpr int kRandomKey = 12;
constexpr int kLowestKey = 0;
constexpr int kHighestKey = 127;

int mod12(int v) {
    return ((v % 12) + 12) % 12;
}

// The scale notes of a range in one key, and what stands in the way of a melody there.
struct ScaleNotes {
    std::vector<int> notes;  // ascending
    MelodyProblem problem = MelodyProblem::none;
};

ScaleNotes scaleNotes(const std::array<std::uint8_t, 12>& row, int key, int low, int high,
                      int count, int maxInterval) {
    ScaleNotes s;
    for (int h = low; h <= high; ++h) {
        if (row[mod12(h - key)] != 0) s.notes.push_back(h);
    }
    if (s.notes.empty()) {
        s.problem = MelodyProblem::noScaleNote;
    } else if (count > 1 && s.notes.size() == 1) {
        s.problem = MelodyProblem::singleNote;
    } else if (count > 1) {
        // A melody of any length exists as soon as two neighbours are close enough: it can
        // always step back and forth between them.
        bool close = false;
        for (std::size_t i = 1; i < s.notes.size() && !close; ++i) {
            close = s.notes[i] - s.notes[i - 1] <= maxInterval;
        }
        if (!close) s.problem = MelodyProblem::interval;
    }
    return s;
}

// What a melody must keep to: scale, range, length and the largest step.
struct MelodyRules {
    const std::array<std::uint8_t, 12>& row;
    int low;
    int high;
    int count;
    int maxInterval;
};

ScaleNotes scaleNotes(const MelodyRules& m, int key) {
    return scaleNotes(m.row, key, m.low, m.high, m.count, m.maxInterval);
}

// A random key among those that admit a melody; with none, the advice that helps for the most
// promising key.
template <typename Draw>
MelodyProblem anyUsableKey(const MelodyRules& m, Draw& draw, int* key) {
    std::vector<int> usable;
    MelodyProblem nearest = MelodyProblem::noScaleNote;
    for (int k = 0; k < 12; ++k) {
        const MelodyProblem p = scaleNotes(m, k).problem;
        if (p == MelodyProblem::none) usable.push_back(k);
        if (p == MelodyProblem::interval ||
            (p == MelodyProblem::singleNote && nearest == MelodyProblem::noScaleNote)) {
            nearest = p;
        }
    }
    if (usable.empty()) return nearest;
    *key = usable[draw() % usable.size()];
    return MelodyProblem::none;
}

// The key of the melody: the chosen one, or a random one that admits a melody.
template <typename Draw>
MelodyProblem melodyKey(const MelodyRules& m, int chosen, Draw& draw, int* key) {
    if (chosen >= 0 && chosen < kRandomKey) {
        *key = chosen;
        return scaleNotes(m, chosen).problem;
    }
    *key = static_cast<int>(draw() % 12u);
    if (scaleNotes(m, *key).problem == MelodyProblem::none) return MelodyProblem::none;
    return anyUsableKey(m, draw, key);
}

// Draws from the span notes from `from` on until one fits; after kMaxDraws misses, one of all
// those that fit.
template <typename Draw, typename Fits>
int drawNote(int from, std::uint32_t span, const Fits& fits, Draw& draw) {
    for (int d = 0; d < EarExercise::kMaxDraws; ++d) {
        const int h = from + static_cast<int>(draw() % span);
        if (fits(h)) return h;
    }
    std::vector<int> candidates;
    for (std::uint32_t j = 0; j < span; ++j) {
        if (fits(from + static_cast<int>(j))) candidates.push_back(from + static_cast<int>(j));
    }
    // Never empty: the checks before guarantee a note that fits at every step.
    return candidates[draw() % candidates.size()];
}

template <typename Draw>
std::vector<int> drawMelody(const MelodyRules& m, int key, Draw& draw) {
    auto inMelodyScale = [&](int h) {
        return h >= m.low && h <= m.high && m.row[mod12(h - key)] != 0;
    };
    // A first note without a scale neighbour in reach would leave the second one nowhere to go.
    auto hasNeighbour = [&](int h) {
        for (int t = h - m.maxInterval; t <= h + m.maxInterval; ++t) {
            if (t != h && inMelodyScale(t)) return true;
        }
        return false;
    };
    std::vector<int> melody(m.count);
    for (int i = 0; i < m.count; ++i) {
        auto fits = [&](int h) {
            if (!inMelodyScale(h)) return false;
            if (i > 0) return h != melody[i - 1];
            return m.count == 1 || hasNeighbour(h);
        };
        const int from = i == 0 ? m.low : melody[i - 1] - m.maxInterval;
        const auto span =
            static_cast<std::uint32_t>(i == 0 ? m.high - m.low + 1 : 2 * m.maxInterval + 1);
        melody[i] = drawNote(from, span, fits, draw);
    }
    return melody;
}

}  // namespace

std::string melodyProblemText(MelodyProblem problem) {
    switch (problem) {
        case MelodyProblem::none:
            return "";
        case MelodyProblem::noteCount:
            return translate("EarTraining", "Ear training: set Number of Notes to at least 1");
        case MelodyProblem::tempo:
            return translate("EarTraining", "Ear training: set the Tempo between 30 and 200");
        case MelodyProblem::range:
            return translate("EarTraining",
                             "Ear training: the Range must run from a lower to a higher note");
        case MelodyProblem::noScaleNote:
            return translate(
                "EarTraining",
                "Ear training: no note of the Scale lies in the Range. Widen the Range or "
                "choose another Scale or Key");
        case MelodyProblem::singleNote:
            return translate(
                "EarTraining",
                "Ear training: the Range holds only one note of the Scale. Widen the Range "
                "or set Number of Notes to 1");
        case MelodyProblem::interval:
            return translate(
                "EarTraining",
                "Ear training: the Maximum Interval is smaller than every step of the Scale "
                "in the Range. Raise the Maximum Interval");
    }
    return "";
}

std::function<std::uint32_t()> EarExercise::seededRandom() {
    auto engine = std::make_shared<std::mt19937>(
        static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    return [engine] { return static_cast<std::uint32_t>((*engine)() & 0x7fffffffu); };
}

EarExercise::EarExercise()
    : EarExercise(seededRandom(), [start = std::chrono::steady_clock::now()] {
          return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - start)
                                                .count());
      }) {}

EarExercise::EarExercise(std::function<std::uint32_t()> random,
                         std::function<std::uint32_t()> clock)
    : random_(std::move(random)), clock_(std::move(clock)) {}

MelodyProblem EarExercise::generate(const Settings& settings) {
    const int count = settings.earNoteCount;
    if (count < 1) return MelodyProblem::noteCount;
    if (settings.earTempo <= 0) return MelodyProblem::tempo;
    const int low = settings.earRangeLow;
    const int high = settings.earRangeHigh;
    if (high < low || low < kLowestKey || high > kHighestKey) return MelodyProblem::range;
    const int maxInterval = std::max(settings.earMaxInterval, 0);
    const MelodyRules rules{kScaleTable[std::clamp(settings.earScale, 0, kScales - 1)], low, high,
                            count, maxInterval};

    auto random = [this] { return draw(); };
    int key = 0;
    const MelodyProblem problem = melodyKey(rules, settings.earKey, random, &key);
    if (problem != MelodyProblem::none) return problem;

    notes_ = drawMelody(rules, key, random);
    answers_.assign(count, 0);
    key_ = key;
    showFirst_ = settings.earShowFirstNote != 0 ? 1 : -1;
    answerIndex_ = playIndex_ = -1;
    msPerNote_ = static_cast<int>(std::trunc(60.0 / settings.earTempo * 1000));
    return MelodyProblem::none;
}

void EarExercise::rewind() {
    answerIndex_ = playIndex_ = -1;
}

int EarExercise::nextNote() {
    const int length = melodyLength();
    if (playIndex_ < length) ++playIndex_;
    return playIndex_ < length ? notes_[playIndex_] : -1;
}

bool EarExercise::showNote() const {
    return showFirst_ >= playIndex_ + 1;
}

void EarExercise::recordAnswer(int pitchClass) {
    // The analysis only ever hands 0..11; anything else cannot match a melody note.
    if (notes_.empty() || pitchClass < 0 || pitchClass > 11) return;
    const std::uint32_t now = clock_();
    const std::int64_t gap =
        answerIndex_ >= 0 ? static_cast<std::int64_t>(now - lastCall_) : 10LL * msPerNote_;
    lastCall_ = now;
    // A note held over several blocks is one answer.
    if (answerIndex_ >= 0 && answers_[answerIndex_] == pitchClass && gap <= msPerNote_ / 2) return;
    const int last = melodyLength() - 1;
    if (answerIndex_ == last) {
        std::rotate(answers_.begin(), answers_.begin() + 1, answers_.end());
        answers_[last] = pitchClass;
    } else {
        answers_[++answerIndex_] = pitchClass;
    }
}

int EarExercise::judge() const {
    if (notes_.empty() || answerIndex_ < melodyLength() - 1) return -1;
    for (int i = 0; i < melodyLength(); ++i) {
        if ((notes_[i] + 3) % 12 != answers_[i]) return -1;
    }
    return 1;
}

}  // namespace merlop
