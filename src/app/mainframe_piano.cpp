// The main frame's piano commands: inharmonicity measured key by key, and a stretched tuning
// made from the measurements.
#include <algorithm>

#include "app/mainframe.h"
#include "pitch/stretch_tuning.h"
#include "settings/piano_tuning.h"
#include "settings/settings.h"
#include "settings/tuning_presets.h"

namespace merlop {

namespace {

struct RuleChoice {
    OctaveRule rule;
    const char* text;
};
constexpr RuleChoice kRules[] = {
    {OctaveRule::twoOne, "2:1 - partial 2 of each octave's lower note on the upper's first"},
    {OctaveRule::fourTwo, "4:2 - partial 4 of the lower note on partial 2 of the upper"},
    {OctaveRule::sixThree, "6:3 - partial 6 of the lower note on partial 3 of the upper"},
    {OctaveRule::mix, "Mixed - 6:3 below C3, 4:2 from C3 to C5, 2:1 above"},
};

std::vector<KeyMeasurement> measurementsOf(const ExtensionSettings& e) {
    std::vector<KeyMeasurement> list;
    // A hand-edited value that does not read counts as no measurements.
    if (!parseKeyMeasurements(e.pianoMeasurements, &list).empty()) list.clear();
    return list;
}

}  // namespace

void MainFrameCore::measureInharmonicity() {
    if (calibrating() || earTrainingOn()) return;
    std::vector<std::string> keys;
    for (int midi = kLowestPianoMidi; midi <= kHighestPianoMidi; ++midi) {
        keys.push_back(pianoKeyName(midi));
    }
    const AnalysisCycle* cycle = displays_.cycle();
    const int shown = cycle != nullptr ? PitchModel::midiNumber(cycle->lastReading().note) : -1;
    const int current = shown >= kLowestPianoMidi && shown <= kHighestPianoMidi
                            ? shown - kLowestPianoMidi
                            : kReferenceMidi - kLowestPianoMidi;
    const int picked = questions_.choose(
        kMeasureCaption, "Key to measure; after OK strike it once and let it ring:", keys, current);
    if (picked < 0 || picked >= static_cast<int>(keys.size())) return;
    piano_.begin(kLowestPianoMidi + picked, config_.effectiveRate,
                 [this] { view_.startTimer(FrameTimer::measurement, 0); });
    displays_.setBlockTap(&piano_);
    view_.setStatusText("Listening to " + keys[static_cast<std::size_t>(picked)] + " for " +
                        std::to_string(static_cast<int>(PianoMeasure::kSeconds)) + " seconds");
}

void MainFrameCore::measurementTaken() {
    displays_.setBlockTap(nullptr);
    if (!piano_.full()) return;
    const int midi = piano_.key();
    const InharmonicityResult result = piano_.measure(settings_.frequencyOfA);
    if (!result.valid) {
        messages_.show(pianoKeyName(midi) + ": " + result.problem, kMeasureCaption);
        return;
    }
    if (!questions_.ask(measurementText(midi, result) + "\nKeep this measurement?", kMeasureCaption,
                        QuestionBox::Buttons::okCancel)) {
        return;
    }
    const int partials = std::min(static_cast<int>(result.partials.size()), kMaxKeyPartials);
    const std::vector<KeyMeasurement> list =
        withMeasurement(measurementsOf(extensions_), {midi, result.f0, result.b, partials});
    extensions_.pianoMeasurements = formatKeyMeasurements(list);
    if (!extensionStore_.save(extensions_)) messages_.show(kExtensionsNotSavedText, "Merlop");
    view_.setStatusText(pianoKeyName(midi) + " measured; " + std::to_string(list.size()) +
                        (list.size() == 1 ? " key" : " keys") + " so far");
}

void MainFrameCore::createStretchedTuning() {
    if (!custom_) return;
    const std::vector<KeyMeasurement> list = measurementsOf(extensions_);
    if (list.size() < 3) {
        messages_.show(
            "A stretched tuning needs three keys measured or more, spread over the "
            "keyboard (Tools / Measure Inharmonicity...); " +
                std::to_string(list.size()) + " measured so far.",
            kStretchCaption);
        return;
    }
    std::vector<std::string> rules;
    for (const RuleChoice& r : kRules) rules.emplace_back(r.text);
    const int rule = questions_.choose(kStretchCaption, "Octaves:", rules, 3);
    if (rule < 0 || rule >= static_cast<int>(rules.size())) return;
    std::string name = "Piano stretch";
    if (!questions_.askText(kStretchCaption, "Name of the tuning:", &name)) return;
    if (const std::string bad = checkPianoTuningName(name); !bad.empty()) {
        messages_.show(bad, kStretchCaption);
        return;
    }
    const StretchResult stretch =
        computeStretch(stiffnessOf(list), settings_.frequencyOfA, kRules[rule].rule);
    if (!stretch.problem.empty()) {
        messages_.show(stretch.problem, kStretchCaption);
        return;
    }
    stopCapture(StopReason::plain);
    const Tuning tuning = pianoTuning(name, stretch.targets, settings_.frequencyOfA);
    const std::string problem = custom_->addPreset(TuningPreset{"piano", tuning});
    if (problem.empty()) {
        view_.setStatusText("Tuning added: " + name);
    } else {
        messages_.show(problem, kStretchCaption);
    }
    applyMode();
}

void MainFrameCore::clearInharmonicity() {
    if (extensions_.pianoMeasurements.empty()) return;
    if (!questions_.ask("Forget every key measured so far?", kMeasureCaption,
                        QuestionBox::Buttons::okCancel)) {
        return;
    }
    extensions_.pianoMeasurements.clear();
    if (!extensionStore_.save(extensions_)) messages_.show(kExtensionsNotSavedText, "Merlop");
}

}  // namespace merlop
