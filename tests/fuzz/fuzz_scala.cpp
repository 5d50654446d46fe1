// Scala scales and keyboard maps from arbitrary bytes: a failed read names its file and a line
// of the input and hands out nothing; a scale that reads writes back to the same pitches, and
// whatever it and any map make of a tuning is one the tuner can use.
#include <cmath>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "settings/scala_convert.h"
#include "settings/scala_scale.h"
#include "settings/scala_text.h"
#include "settings/tuning_store.h"

using namespace merlop;

namespace {

int lineCount(std::string_view bytes) {
    return static_cast<int>(splitLines(bytes).size());
}

void checkError(const ScalaError& e, std::string_view bytes, const char* file) {
    FUZZ_CHECK(e.file == file);
    FUZZ_CHECK(e.line >= 0 && e.line <= lineCount(bytes) + 1);
    FUZZ_CHECK(e.text().find(file) == 0);
}

void checkTuning(const ScalaScale& scale, const ScalaKeyboardMap& map) {
    const ScalaTuning t = tuningOfScale(scale, map, "fuzz");
    if (!t.problem.empty()) {
        FUZZ_CHECK(t.tuning.noteCount == 0);
        return;
    }
    FUZZ_CHECK(t.tuning.noteCount >= 1 && t.tuning.noteCount <= Tuning::kMaxNotes);
    FUZZ_CHECK(t.tooMany.empty() || t.tuning.noteCount == Tuning::kMaxNotes);
    for (int i = 0; i < t.tuning.noteCount; ++i) {
        FUZZ_CHECK(usableTuningFrequency(t.tuning.frequencies[i]));
        FUZZ_CHECK(t.tuning.notes[i] >= 0 && t.tuning.notes[i] <= 127);
    }
    FUZZ_CHECK(t.tuning.noteCount + t.tooMany.size() + t.unsoundable.size() <= 128);
}

void checkScale(const ScalaScale& s, std::uint8_t key) {
    FUZZ_CHECK(s.size() >= 1 && s.size() <= ScalaScale::kMaxPitches);
    FUZZ_CHECK(s.periodCents() > 0.0);
    FUZZ_CHECK(isValidUtf8(s.description));
    for (const ScalaPitch& p : s.pitches) {
        FUZZ_CHECK(std::isfinite(p.cents) && std::fabs(p.cents) <= 100000.0);
        FUZZ_CHECK(isValidUtf8(p.label));
    }
    ScalaScale back;
    const ScalaError e = readScalaScale(writeScalaScale(s, "again.scl"), "again.scl", &back);
    FUZZ_CHECK(!e.failed());
    FUZZ_CHECK(back.size() == s.size());
    FUZZ_CHECK(back.description == trimmed(oneLine(s.description)));
    for (int i = 0; i < s.size(); ++i) {
        const auto k = static_cast<std::size_t>(i);
        FUZZ_CHECK(std::fabs(back.pitches[k].cents - s.pitches[k].cents) <= 1.0e-6);
    }
    if (isTemperamentScale(s)) {
        const auto row = temperamentRow(s);
        const auto again = temperamentRow(scaleOfTemperament(row, s.description));
        for (std::size_t i = 0; i < 12; ++i) FUZZ_CHECK(std::fabs(again[i] - row[i]) <= 0.01f);
    }
    checkTuning(s, defaultKeyboardMap(key % 12));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ScalaScale scale;
    scale.description = "unread";
    const ScalaError e = readScalaScale(bytes, "fuzz.scl", &scale);
    if (e.failed()) {
        checkError(e, bytes, "fuzz.scl");
        FUZZ_CHECK(scale.description == "unread" && scale.pitches.empty());
    } else {
        checkScale(scale, size > 0 ? data[0] : 0);
    }

    ScalaKeyboardMap map;
    map.middleNote = -1;
    const ScalaError m = readScalaKeyboardMap(bytes, "fuzz.kbm", &map);
    if (m.failed()) {
        checkError(m, bytes, "fuzz.kbm");
        FUZZ_CHECK(map.middleNote == -1);
        return 0;
    }
    FUZZ_CHECK(map.firstNote <= map.lastNote && map.middleNote >= 0 && map.middleNote <= 127);
    FUZZ_CHECK(static_cast<int>(map.mapping.size()) <= map.size);
    ScalaScale equal;
    for (int i = 1; i <= 12; ++i) equal.pitches.push_back({100.0 * i, {}});
    checkTuning(equal, map);
    if (!e.failed()) checkTuning(scale, map);
    return 0;
}
