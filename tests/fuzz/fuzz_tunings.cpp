// merlo230.tng from arbitrary bytes through every store operation: each listed tuning reads back
// usable, saves rewrite exactly what a reload sees, a second store on the file agrees with the
// first, deleting stops at one tuning, and every tuning can be tuned against.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "fuzz_support.h"
#include "pitch/pitch_model.h"
#include "settings/cp1252.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

using namespace merlop;

namespace {

void checkTuning(const Tuning& t) {
    FUZZ_CHECK(t.noteCount >= 0 && t.noteCount <= Tuning::kMaxNotes);
    FUZZ_CHECK(t.instrument >= 0 && t.instrument <= 127);
    // The texts come as UTF-8 that goes back to the field's bytes unchanged.
    const auto fieldText = [](const Tuning::Text& field) { return std::string(field.data()); };
    FUZZ_CHECK(utf8ToCp1252(t.nameText()) == fieldText(t.name));
    for (int i = 0; i < Tuning::kMaxNotes; ++i) {
        FUZZ_CHECK(t.notes[i] >= 0 && t.notes[i] <= 127);
        const float f = t.frequencies[i];
        // Anything a tuner cannot sound is "no frequency".
        FUZZ_CHECK(f == 0.0f || (std::isnormal(f) && f > 0.0f && f <= 20000.0f));
        FUZZ_CHECK(utf8ToCp1252(t.description(i)) == fieldText(t.descriptions[i]));
    }
    // What is read is what is written.
    FUZZ_CHECK(Tuning::fromRecord(t.toRecord().data(), Tuning::kRecordSize).toRecord() ==
               t.toRecord());
}

// Tunes a tone against the current tuning, automatically and on each of its first notes: a
// reading that matches a tuning note always names a note and a frequency.
void tuneAgainst(const TuningStore& store) {
    Settings settings;
    settings.customTuningOn = 1;
    settings.analysisWindowMs = 50;  // short blocks keep the fuzzer fast
    CaptureMode mode;
    mode.fileMode = true;
    mode.fileSampleRate = 11025;
    mode.fileBitsPerSample = 16;
    const CaptureConfig config = configureCapture(settings, {}, settings.sampleRate, mode);
    PitchModel pitch;
    configurePitchModel(pitch, settings, store.frequencies(), store.noteCount());

    CycleOptions options;
    options.customTuningOn = true;
    options.recordReadings = store.recordReadings() != 0;
    for (int i = 0; i < store.noteCount(); ++i) options.tuningMidiKeys.push_back(store.note(i));
    for (int fixed = -1; fixed < std::min(store.noteCount(), 3); ++fixed) {
        options.fixedTuningNote = fixed;
        const float f = fixed >= 0 ? store.frequency(fixed) : 0.0f;
        const double hz = f >= 40.0f && f <= 1000.0f ? f : 196.0;
        AnalysisCycle cycle(settings, config, pitch, options);
        cycle.startRun();
        const std::vector<int> tone = fuzz::sineBlock(hz, config.sampleRate, cycle.length());
        for (int block = 0; block < 2; ++block) {
            cycle.analyseBlock(tone.data(), SampleRange{-1500, 1500});
            const PitchReading& r = cycle.lastReading();
            if (r.tuningIndex < 0) {
                FUZZ_CHECK(r.note == -1);
                continue;
            }
            FUZZ_CHECK(r.tuningIndex < store.noteCount());
            FUZZ_CHECK(fixed < 0 || r.tuningIndex == fixed);
            FUZZ_CHECK(r.note >= 0);
            FUZZ_CHECK(!pitch.fullNoteName(r.note).empty());
            FUZZ_CHECK(std::isfinite(r.frequency) && r.frequency > 0.0f);
        }
    }
}

Tuning::Record fileRecord(const std::vector<std::uint8_t>& file, int i) {
    Tuning::Record r{};
    const std::size_t at = static_cast<std::size_t>(i) * Tuning::kRecordSize;
    FUZZ_CHECK(file.size() >= at + Tuning::kRecordSize);
    std::copy_n(file.begin() + static_cast<long>(at), Tuning::kRecordSize, r.begin());
    return r;
}

std::vector<Tuning::Record> allRecords(TuningStore& store) {
    std::vector<Tuning::Record> out;
    for (int i = 0; i < store.tuningsInFile(); ++i) {
        FUZZ_CHECK(store.readTuning(i) == 0);
        out.push_back(store.current().toRecord());
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > TuningStore::kMaxTunings * Tuning::kRecordSize + 64) return -1;
    const auto dir = fuzz::freshDir("tunings");
    const auto path = dir / TuningStore::kFileName;
    fuzz::writeFile(path, data, size);

    TuningStore store(dir);
    FUZZ_CHECK(store.hasFile());
    const int n = store.tuningsInFile();
    FUZZ_CHECK(n >= 0 && n <= TuningStore::kMaxTunings);
    if (size == 0) FUZZ_CHECK(n == 3);
    const std::vector<std::string> names = store.names();
    FUZZ_CHECK(static_cast<int>(names.size()) == n);

    // Read each; an unlisted index selects nothing.
    for (int i = 0; i < n; ++i) {
        FUZZ_CHECK(store.readTuning(i) == 0);
        FUZZ_CHECK(store.currentTuning() == i && store.currentNote() == 0);
        FUZZ_CHECK(store.currentName() == names[static_cast<std::size_t>(i)]);
        checkTuning(store.current());
        if (i < 4) tuneAgainst(store);
    }
    FUZZ_CHECK(store.readTuning(n) == -1 && store.readTuning(-1) == -1);
    if (n == 0) return 0;

    // Save in place: the file then holds the record as it was read, and a second store agrees.
    const int pick = static_cast<int>(size % static_cast<std::size_t>(n));
    FUZZ_CHECK(store.readTuning(pick) == 0);
    const Tuning::Record picked = store.current().toRecord();
    FUZZ_CHECK(store.saveCurrent(false) == 0);
    FUZZ_CHECK(store.tuningsInFile() == n && store.names() == names);
    FUZZ_CHECK(fileRecord(fuzz::readFile(path), pick) == picked);
    {
        TuningStore second(dir);
        FUZZ_CHECK(second.names() == names);
        FUZZ_CHECK(second.readTuning(pick) == 0 && second.current().toRecord() == picked);
    }

    // Save as new: appended and current, or refused when the list is full.
    store.current().setName("fuzz copy");
    const int asNew = store.saveCurrent(true);
    if (n == TuningStore::kMaxTunings) {
        FUZZ_CHECK(asNew == -1 && store.tuningsInFile() == n && store.currentTuning() == pick);
    } else {
        FUZZ_CHECK(asNew == 0 && store.tuningsInFile() == n + 1 && store.currentTuning() == n);
        FUZZ_CHECK(store.name(n) == "fuzz copy");
    }
    std::vector<Tuning::Record> records = allRecords(store);
    {
        TuningStore second(dir);
        FUZZ_CHECK(second.names() == store.names());
        FUZZ_CHECK(allRecords(second) == records);
    }

    // Delete down to one, alternating first and last; the later tunings move down.
    for (int k = 0; store.tuningsInFile() > 1; ++k) {
        const int count = store.tuningsInFile();
        const int victim = k % 2 == 0 ? 0 : count - 1;
        FUZZ_CHECK(store.deleteTuning(victim) == 0);
        FUZZ_CHECK(store.tuningsInFile() == count - 1 && store.currentTuning() == 0);
        records.erase(records.begin() + victim);
        FUZZ_CHECK(allRecords(store) == records);
    }
    FUZZ_CHECK(store.deleteTuning(0) == -1 && store.tuningsInFile() == 1);

    TuningStore reopened(dir);
    FUZZ_CHECK(reopened.names() == store.names());
    FUZZ_CHECK(allRecords(reopened) == records);
    return 0;
}
