#include "settings/tuning_presets.h"

namespace merlop {

namespace {

// General MIDI programs, counted from 0 as in the built-in tunings.
constexpr int kNylonGuitar = 24;
constexpr int kSteelGuitar = 25;
constexpr int kFingerBass = 33;
constexpr int kViola = 41;
constexpr int kCello = 42;
constexpr int kContrabass = 43;
constexpr int kBanjo = 105;

struct String {
    const char* description = nullptr;  // null past the last string
    int midi = 0;
};

struct Row {
    const char* id;
    const char* name;
    int instrument;
    String strings[7];
};

constexpr Row kRows[] = {
    {"bass4",
     "Bass 4 strings",
     kFingerBass,
     {{"E  4th string", 28}, {"A  3rd string", 33}, {"D  2nd string", 38}, {"G  1st string", 43}}},
    {"bass5",
     "Bass 5 strings",
     kFingerBass,
     {{"B  5th string", 23},
      {"E  4th string", 28},
      {"A  3rd string", 33},
      {"D  2nd string", 38},
      {"G  1st string", 43}}},
    {"ukulele",
     "Ukulele",
     kNylonGuitar,
     {{"G  4th string", 67}, {"C  3rd string", 60}, {"E  2nd string", 64}, {"A  1st string", 69}}},
    {"ukulele-low-g",
     "Ukulele low G",
     kNylonGuitar,
     {{"G  4th string", 55}, {"C  3rd string", 60}, {"E  2nd string", 64}, {"A  1st string", 69}}},
    {"viola",
     "Viola",
     kViola,
     {{"C string", 48}, {"G string", 55}, {"D string", 62}, {"A string", 69}}},
    {"cello",
     "Cello",
     kCello,
     {{"C string", 36}, {"G string", 43}, {"D string", 50}, {"A string", 57}}},
    {"double-bass",
     "Double bass",
     kContrabass,
     {{"E string", 28}, {"A string", 33}, {"D string", 38}, {"G string", 43}}},
    {"mandolin",
     "Mandolin",
     kSteelGuitar,
     {{"G strings", 55}, {"D strings", 62}, {"A strings", 69}, {"E strings", 76}}},
    {"banjo",
     "Banjo open G",
     kBanjo,
     {{"G  5th string", 67},
      {"D  4th string", 50},
      {"G  3rd string", 55},
      {"B  2nd string", 59},
      {"D  1st string", 62}}},
    {"drop-d",
     "Guitar drop D",
     kSteelGuitar,
     {{"D  6th string", 38},
      {"A  5th string", 45},
      {"D  4th string", 50},
      {"G  3rd string", 55},
      {"B  2nd string", 59},
      {"E  1st string", 64}}},
    {"dadgad",
     "Guitar DADGAD",
     kSteelGuitar,
     {{"D  6th string", 38},
      {"A  5th string", 45},
      {"D  4th string", 50},
      {"G  3rd string", 55},
      {"A  2nd string", 57},
      {"D  1st string", 62}}},
    {"open-g",
     "Guitar open G",
     kSteelGuitar,
     {{"D  6th string", 38},
      {"G  5th string", 43},
      {"D  4th string", 50},
      {"G  3rd string", 55},
      {"B  2nd string", 59},
      {"D  1st string", 62}}},
    {"open-d",
     "Guitar open D",
     kSteelGuitar,
     {{"D  6th string", 38},
      {"A  5th string", 45},
      {"D  4th string", 50},
      {"F# 3rd string", 54},
      {"A  2nd string", 57},
      {"D  1st string", 62}}},
    {"guitar7",
     "Guitar 7 string",
     kSteelGuitar,
     {{"B  7th string", 35},
      {"E  6th string", 40},
      {"A  5th string", 45},
      {"D  4th string", 50},
      {"G  3rd string", 55},
      {"B  2nd string", 59},
      {"E  1st string", 64}}},
};

TuningPreset presetOf(const Row& row) {
    const PitchModel equal;  // A 440, equal temperament
    TuningPreset p{row.id, Tuning{}};
    p.tuning.setName(row.name);
    p.tuning.instrument = row.instrument;
    int k = 0;
    for (const String& s : row.strings) {
        if (s.description == nullptr) break;
        p.tuning.setEntry(k++, {s.description, s.midi, equal.frequencyOfNote(s.midi - 9, 0.0f)});
    }
    p.tuning.noteCount = k;
    return p;
}

std::vector<TuningPreset> makePresets() {
    std::vector<TuningPreset> presets;
    for (const Row& row : kRows) presets.push_back(presetOf(row));
    return presets;
}

}  // namespace

const std::vector<TuningPreset>& tuningPresets() {
    static const std::vector<TuningPreset> presets = makePresets();
    return presets;
}

const TuningPreset* findTuningPreset(const std::string& id) {
    for (const TuningPreset& p : tuningPresets()) {
        if (id == p.id) return &p;
    }
    return nullptr;
}

std::string addPresetTuning(TuningStore& store, const TuningPreset& preset) {
    std::string full = "merlo230.tng already holds " + std::to_string(TuningStore::kMaxTunings) +
                       " tunings, as many as it can: delete one in Settings first.";
    if (store.tuningsInFile() >= TuningStore::kMaxTunings) return full;
    const int before = store.currentTuning();
    store.current() = preset.tuning;
    if (store.saveCurrent(true) == 0) return {};
    // The list follows the file after a save, so a file filled meanwhile is told as full.
    store.readTuning(before);
    if (store.tuningsInFile() >= TuningStore::kMaxTunings) return full;
    return "The tuning could not be added: merlo230.tng cannot be written.";
}

}  // namespace merlop
