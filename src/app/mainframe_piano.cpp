// The main frame's piano commands: inharmonicity measured key by key, and a stretched tuning
// made from the measurements.
#include <algorithm>

#include "app/mainframe.h"
#include "common/translation.h"
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
    {OctaveRule::twoOne,
     MERLOP_TR_NOOP("MainFrame",
                    "2:1 - partial 2 of each octave's lower note on the upper's first")},
    {OctaveRule::fourTwo,
     MERLOP_TR_NOOP("MainFrame", "4:2 - partial 4 of the lower note on partial 2 of the upper")},
    {OctaveRule::sixThree,
     MERLOP_TR_NOOP("MainFrame", "6:3 - partial 6 of the lower note on partial 3 of the upper")},
    {OctaveRule::mix,
     MERLOP_TR_NOOP("MainFrame", "Mixed - 6:3 below C3, 4:2 from C3 to C5, 2:1 above")},
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
        translate("MainFrame", kMeasureCaption),
        translate("MainFrame", "Key to measure; after OK strike it once and let it ring:"), keys,
        current);
    if (picked < 0 || picked >= static_cast<int>(keys.size())) return;
    piano_.begin(kLowestPianoMidi + picked, config_.effectiveRate,
                 [this] { view_.startTimer(FrameTimer::measurement, 0); });
    displays_.setBlockTap(&piano_);
    view_.setStatusText(fill(translate("MainFrame", "Listening to %1 for %2 seconds"),
                             {keys[static_cast<std::size_t>(picked)],
                              std::to_string(static_cast<int>(PianoMeasure::kSeconds))}));
}

void MainFrameCore::measurementTaken() {
    displays_.setBlockTap(nullptr);
    if (!piano_.full()) return;
    const int midi = piano_.key();
    const InharmonicityResult result = piano_.measure(settings_.frequencyOfA);
    if (!result.valid) {
        messages_.show(pianoKeyName(midi) + ": " + result.problem,
                       translate("MainFrame", kMeasureCaption));
        return;
    }
    if (!questions_.ask(
            measurementText(midi, result) + "\n" + translate("MainFrame", "Keep this measurement?"),
            translate("MainFrame", kMeasureCaption), QuestionBox::Buttons::okCancel)) {
        return;
    }
    const int partials = std::min(static_cast<int>(result.partials.size()), kMaxKeyPartials);
    const std::vector<KeyMeasurement> list =
        withMeasurement(measurementsOf(extensions_), {midi, result.f0, result.b, partials});
    extensions_.pianoMeasurements = formatKeyMeasurements(list);
    if (!extensionStore_.save(extensions_))
        messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
    const std::string soFar = list.size() == 1
                                  ? translate("MainFrame", "%1 measured; %2 key so far")
                                  : translate("MainFrame", "%1 measured; %2 keys so far");
    view_.setStatusText(fill(soFar, {pianoKeyName(midi), std::to_string(list.size())}));
}

void MainFrameCore::createStretchedTuning() {
    if (!custom_) return;
    const std::vector<KeyMeasurement> list = measurementsOf(extensions_);
    if (list.size() < 3) {
        messages_.show(fill(translate("MainFrame",
                                      "A stretched tuning needs three keys measured or more, "
                                      "spread over the keyboard (Tools / Measure "
                                      "Inharmonicity...); %1 measured so far."),
                            {std::to_string(list.size())}),
                       translate("MainFrame", kStretchCaption));
        return;
    }
    std::vector<std::string> rules;
    for (const RuleChoice& r : kRules) rules.push_back(translate("MainFrame", r.text));
    const std::string caption = translate("MainFrame", kStretchCaption);
    const int rule = questions_.choose(caption, translate("MainFrame", "Octaves:"), rules, 3);
    if (rule < 0 || rule >= static_cast<int>(rules.size())) return;
    std::string name = "Piano stretch";
    if (!questions_.askText(caption, translate("MainFrame", "Name of the tuning:"), &name)) return;
    if (const std::string bad = checkPianoTuningName(name); !bad.empty()) {
        messages_.show(bad, caption);
        return;
    }
    const StretchResult stretch =
        computeStretch(stiffnessOf(list), settings_.frequencyOfA, kRules[rule].rule);
    if (!stretch.problem.empty()) {
        messages_.show(stretch.problem, caption);
        return;
    }
    stopCapture(StopReason::plain);
    const Tuning tuning = pianoTuning(name, stretch.targets, settings_.frequencyOfA);
    const std::string problem = custom_->addPreset(TuningPreset{"piano", tuning});
    if (problem.empty()) {
        view_.setStatusText(fill(translate("MainFrame", "Tuning added: %1"), {name}));
    } else {
        messages_.show(problem, caption);
    }
    applyMode();
}

void MainFrameCore::clearInharmonicity() {
    if (extensions_.pianoMeasurements.empty()) return;
    if (!questions_.ask(translate("MainFrame", "Forget every key measured so far?"),
                        translate("MainFrame", kMeasureCaption), QuestionBox::Buttons::okCancel)) {
        return;
    }
    extensions_.pianoMeasurements.clear();
    if (!extensionStore_.save(extensions_))
        messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
}

}  // namespace merlop
