#include "app/frame_displays.h"

#include "audio/spectrum_analyser.h"
#include "common/message_box.h"
#include "common/translation.h"

namespace merlop {

void ReadingHold::setTarget(ReadingDisplay* target) {
    target_ = target;
    if (target_ != nullptr && held_ && haveLast_) target_->showReading(last_);
}

void ReadingHold::setHeld(bool held) {
    held_ = held;
    if (held_ && haveLast_ && target_ != nullptr) target_->showReading(last_);
}

void ReadingHold::showReading(const PitchReading& reading) {
    if (held_ || target_ == nullptr) return;
    if (reading.note >= 0) {
        last_ = reading;
        haveLast_ = true;
    }
    target_->showReading(reading);
}

FrameDisplays::FrameDisplays(const Settings& settings, PitchModel& pitch, FrameView& view,
                             MessageBox& messages)
    : settings_(settings), pitch_(pitch), view_(view), messages_(messages), levels_(view) {}

void FrameDisplays::rebuild(const CaptureConfig& config, const CycleOptions& options) {
    if (cycle_ == nullptr) {
        cycle_ = std::make_unique<AnalysisCycle>(settings_, config, pitch_, options);
    } else {
        cycle_->reconfigure(settings_, config, options);
    }
    // A calibration analyses nothing, so it builds no analysers.
    if ((options.tunerOn || options.waveOn) && !options.calibrating && !cycle_->cycleUsable()) {
        messages_.show(translate("MainFrame", "Not enough memory for"), "cyc ");
    }
    if (!options.calibrating && !cycle_->spectrumUsable()) {
        messages_.show(translate("MainFrame", "Not enough memory for"), "nspec ");
    }
}

void FrameDisplays::show(DisplayRequest request) {
    if (const SpectrumAnalyser* spectrum = cycle_->spectrumAnalyser(); spectrum != nullptr) {
        request.spectrumBand = {spectrum->binWidth(), spectrum->loBin(), spectrum->hiBin()};
    }
    sinks_ = view_.createDisplays(request);
    hold_.setTarget(sinks_.reading);
    if (sinks_.reading != nullptr) sinks_.reading = &hold_;
    sinks_.errors = &messages_;
    sinks_.ear = nullptr;
    sinks_.level = levelsShown_ ? &levels_ : nullptr;
    sinks_.tap = tap_;
    view_.showInputLevel({levelsShown_});
    cycle_->setSinks(sinks_);
    shown_ = request.shown;
}

void FrameDisplays::drop() {
    if (!shown_.any()) return;
    view_.destroyDisplays();
    hold_.setTarget(nullptr);
    sinks_ = {};
    if (cycle_ != nullptr) cycle_->setSinks({});
    shown_ = {};
}

void FrameDisplays::runStarting(bool live) {
    if (cycle_ == nullptr) return;
    const double rate = cycle_->config().effectiveRate;
    levels_.startRun(rate > 0.0 ? cycle_->length() / rate : 0.0, live, listening_);
}

void FrameDisplays::setBlockTap(BlockTap* tap) {
    tap_ = tap;
    sinks_.tap = tap;
    if (cycle_ != nullptr) cycle_->setSinks(sinks_);
}

void FrameDisplays::setAnswerSink(EarAnswerSink* sink) {
    sinks_.ear = sink;
    if (cycle_ != nullptr) cycle_->setSinks(sinks_);
}

}  // namespace merlop
