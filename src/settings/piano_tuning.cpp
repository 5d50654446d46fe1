#include "settings/piano_tuning.h"

#include <cmath>

#include "common/translation.h"
#include "pitch/piano_keys.h"
#include "settings/cp1252.h"
#include "settings/tuning_presets.h"

namespace merlop {

namespace {

// General MIDI program 1, counted from 0 as the built-in tunings count.
constexpr int kGrandPiano = 0;

std::string checkTargets(const std::vector<StretchTarget>& targets, double referenceA) {
    if (targets.size() != static_cast<std::size_t>(kPianoKeys))
        return translate("PianoTuning", "a piano tuning needs the targets of all 88 keys");
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const double at440 = targets[i].frequency * 440.0 / referenceA;
        if (targets[i].midi != kLowestPianoMidi + static_cast<int>(i) ||
            !usableTuningFrequency(static_cast<float>(at440)))
            return translate("PianoTuning", "the targets are not the 88 keys from A0 to C8");
    }
    return {};
}

}  // namespace

Tuning pianoTuning(const std::string& name, const std::vector<StretchTarget>& targets,
                   double referenceA) {
    Tuning t;
    t.setName(name);
    t.instrument = kGrandPiano;
    int k = 0;
    for (const StretchTarget& target : targets) {
        if (k == Tuning::kMaxNotes) break;
        const auto at440 = static_cast<float>(target.frequency * 440.0 / referenceA);
        t.setEntry(k++, {pianoKeyName(target.midi), target.midi, at440});
    }
    t.noteCount = k;
    return t;
}

std::string checkPianoTuningName(const std::string& name) {
    if (name.empty()) return translate("PianoTuning", "give the tuning a name");
    if (toCp1252(name).bytes.size() >= Tuning::kTextSize)
        return fill(translate("PianoTuning", "the tuning's name '%1' is longer than 15 characters"),
                    {name});
    return {};
}

std::string addPianoTuning(TuningStore& store, const std::string& name,
                           const std::vector<StretchTarget>& targets, double referenceA) {
    if (std::string problem = checkPianoTuningName(name); !problem.empty()) return problem;
    if (!(referenceA > 0.0)) return translate("PianoTuning", "no reference A");
    if (std::string problem = checkTargets(targets, referenceA); !problem.empty()) return problem;
    return addPresetTuning(store, {"piano", pianoTuning(name, targets, referenceA)});
}

}  // namespace merlop
