#include "app/calibration.h"

#include <cmath>
#include <cstdio>

#include "common/question_box.h"
#include "common/translation.h"
#include "pitch/pitch_model.h"

namespace merlop {

bool Calibration::ask(QuestionBox& questions, std::int32_t* calibrationTenths) {
    if (count_ == 0) {
        // In the body as well: not every window manager shows a box's title.
        active_ = questions.ask(startCaption(), startCaption(), QuestionBox::Buttons::okCancel);
        return true;
    }
    if (!finished()) return false;
    if (questions.ask(resultText(), translate("Calibration", kResultCaption),
                      QuestionBox::Buttons::okCancel)) {
        *calibrationTenths = resultTenths();
    }
    active_ = false;
    return true;
}

void Calibration::runStarting() {
    if (!finished()) count_ = 0;
}

bool Calibration::onBlock(std::uint32_t arrivalMs, const PitchModel& pitch, PitchReading* reading) {
    if (finished()) return false;
    bool shown = false;
    if (count_ == 0) {
        rawEstimate_ = 440.0f;
        measuredDeviation_ = 0.0f;
        start_ = arrivalMs;
    } else {
        const int k = count_;
        // Unsigned difference: a wrap of the millisecond counter costs nothing.
        const std::uint32_t elapsed = arrivalMs - start_;
        const float previous = rawEstimate_;
        rawEstimate_ = static_cast<float>(static_cast<double>(elapsed) / k * 0.001 * 440.0);
        const auto f = static_cast<float>((static_cast<double>(previous) + rawEstimate_) * 0.5);
        float deviation = 0.0f;
        pitch.nearestNote(f, &deviation);
        measuredDeviation_ = deviation;
        if (reading != nullptr) {
            *reading = PitchReading{kReferenceNote, kSeconds - k, f, measuredDeviation_};
        }
        shown = true;
    }
    ++count_;
    return shown;
}

std::string Calibration::startCaption() {
    return fill(translate("Calibration", "Calibration will take %1 seconds"),
                {std::to_string(kSeconds)});
}

std::string Calibration::resultText() const {
    char number[32];
    std::snprintf(number, sizeof number, "%4.1f", static_cast<double>(measuredDeviation_) * 100);
    const std::string signedNumber = (measuredDeviation_ >= 0.0f ? "+" : "") + std::string(number);
    return fill(translate("Calibration", "measured deviation = %1 Cents"), {signedNumber});
}

std::int32_t Calibration::resultTenths() const {
    return static_cast<std::int32_t>(std::trunc(static_cast<double>(measuredDeviation_) * -1000.0));
}

}  // namespace merlop
