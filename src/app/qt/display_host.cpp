#include "app/qt/display_host.h"

#include <QColor>
#include <QFrame>
#include <QMainWindow>
#include <QMenuBar>
#include <QPalette>
#include <algorithm>
#include <utility>

#include "display/qt/spectrum_window.h"
#include "display/qt/tuner_window.h"
#include "display/qt/wave_form_window.h"

namespace merlop {

namespace {

// Space must always reach the frame: the displays' buttons and keys never take the keyboard.
// The display itself may, by Tab, so a screen reader can be brought to it; the keys it leaves
// alone (Space among them) go on to the frame.
void leaveFocusToFrame(QWidget* display) {
    display->setFocusPolicy(Qt::TabFocus);
    for (QWidget* child : display->findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);
}

}  // namespace

DisplayHost::DisplayHost(QMainWindow& window, DisplaySources sources)
    : window_(window), sources_(std::move(sources)) {}

QRect DisplayHost::toWindow(const PixelRect& r) const {
    const int menu = window_.menuBar()->isVisible() ? window_.menuBar()->height() : 0;
    return QRect(r.left, r.top + menu, std::max(0, r.right - r.left),
                 std::max(0, r.bottom - r.top));
}

void DisplayHost::placeFramed(QWidget* display, const PixelRect& r, const QString& frameName) {
    // Each display in a panel of its own, so that no scale reads as part of its neighbour.
    auto* frame = new QFrame(&window_);
    frame->setObjectName(frameName);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    // The white and dark grey of the displays' own raised edges, whatever the style's are.
    QPalette colours = frame->palette();
    colours.setColor(QPalette::Light, QColor(255, 255, 255));
    colours.setColor(QPalette::Dark, QColor(96, 96, 96));
    frame->setPalette(colours);
    frame->setGeometry(toWindow(r));
    frame->stackUnder(display);
    frame->show();
    frames_.push_back(frame);
    display->setGeometry(frame->contentsRect().translated(frame->pos()));
}

void DisplayHost::mount(QWidget* display, const PixelRect& r, const QString& name) {
    display->setObjectName(name + QStringLiteral("Window"));
    placeFramed(display, r, name + QStringLiteral("Frame"));
    display->show();
    leaveFocusToFrame(display);
}

CycleSinks DisplayHost::create(const DisplayRequest& request, const PitchModel& pitch) {
    destroy();
    CycleSinks sinks;
    // Behind a slow analysis the display skips to the newest block rather than lag the sound.
    sinks.inputPending = sources_.inputPending;
    if (request.shown.tuner) {
        tuner_ =
            new TunerWindow(sources_.settings, pitch, sources_.tunings, request.customNoteIndex,
                            request.calibrating, request.config.calibrationFactor, sources_.midi,
                            sources_.sound, &sources_.tunerParent, &window_);
        if (request.inTuneCents >= 0.0f) tuner_->setInTuneCents(request.inTuneCents);
        tuner_->setHeld(request.held);
        tuner_->setLargeReadouts(request.largeReadouts);
        tuner_->setStrobeShown(request.strobe);
        mount(tuner_, request.rects.tuner, QStringLiteral("tuner"));
        sinks.reading = tuner_;
        if (request.strobe) sinks.strobe = tuner_;
    }
    if (request.shown.spectrum) {
        spectrum_ = new SpectrumWindow(sources_.settings, request.spectrumBand, &window_,
                                       sources_.messages);
        mount(spectrum_, request.rects.spectrum, QStringLiteral("spectrum"));
        sinks.spectrum = spectrum_;
    }
    if (request.shown.wave) {
        wave_ = new WaveFormWindow(sources_.settings, request.config.analysisLength, &window_,
                                   sources_.messages);
        mount(wave_, request.rects.wave, QStringLiteral("wave"));
        sinks.wave = wave_;
    }
    return sinks;
}

void DisplayHost::destroy() {
    delete tuner_;
    tuner_ = nullptr;
    delete spectrum_;
    spectrum_ = nullptr;
    delete wave_;
    wave_ = nullptr;
    for (QFrame* frame : frames_) delete frame;
    frames_.clear();
}

void DisplayHost::setSpectrumPaused(bool paused) {
    if (spectrum_ != nullptr) spectrum_->setPaused(paused);
}

void DisplayHost::stopTone() {
    if (tuner_ != nullptr) tuner_->stopTone();
}

void DisplayHost::retryTone() {
    if (tuner_ != nullptr) tuner_->retryTone();
}

void DisplayHost::playTuningNote() {
    if (tuner_ != nullptr) tuner_->playNote(0, true);
}

void DisplayHost::playExercise(ExerciseNotes& exercise) {
    if (tuner_ != nullptr) tuner_->playExercise(exercise);
}

}  // namespace merlop
