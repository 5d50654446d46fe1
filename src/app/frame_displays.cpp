#include "app/frame_displays.h"

#include "audio/spectrum_analyser.h"
#include "common/message_box.h"

namespace merlop {

FrameDisplays::FrameDisplays(const Settings& settings, PitchModel& pitch, FrameView& view,
                             MessageBox& messages)
    : settings_(settings), pitch_(pitch), view_(view), messages_(messages) {}

void FrameDisplays::rebuild(const CaptureConfig& config, const CycleOptions& options) {
    if (cycle_ == nullptr) {
        cycle_ = std::make_unique<AnalysisCycle>(settings_, config, pitch_, options);
    } else {
        cycle_->reconfigure(settings_, config, options);
    }
    // A calibration analyses nothing, so it builds no analysers.
    if ((options.tunerOn || options.waveOn) && !options.calibrating && !cycle_->cycleUsable()) {
        messages_.show("Not enough memory for", "cyc ");
    }
    if (!options.calibrating && !cycle_->spectrumUsable()) {
        messages_.show("Not enough memory for", "nspec ");
    }
}

void FrameDisplays::show(DisplayRequest request) {
    if (const SpectrumAnalyser* spectrum = cycle_->spectrumAnalyser(); spectrum != nullptr) {
        request.spectrumBand = {spectrum->binWidth(), spectrum->loBin(), spectrum->hiBin()};
    }
    sinks_ = view_.createDisplays(request);
    sinks_.errors = &messages_;
    sinks_.ear = nullptr;
    cycle_->setSinks(sinks_);
    shown_ = request.shown;
}

void FrameDisplays::drop() {
    if (!shown_.any()) return;
    view_.destroyDisplays();
    sinks_ = {};
    if (cycle_ != nullptr) cycle_->setSinks({});
    shown_ = {};
}

void FrameDisplays::setAnswerSink(EarAnswerSink* sink) {
    sinks_.ear = sink;
    if (cycle_ != nullptr) cycle_->setSinks(sinks_);
}

}  // namespace merlop
