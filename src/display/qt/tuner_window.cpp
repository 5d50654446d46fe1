#include "display/qt/tuner_window.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "display/note_buttons.h"
#include "display/qt/meter_window.h"
#include "display/qt/note_button.h"
#include "display/qt/piano_wnd.h"
#include "display/qt/strobe_panel.h"
#include "display/qt/tuner_accessible.h"
#include "display/reading_words.h"
#include "settings/settings.h"
#include "tone/reference_tone.h"

namespace merlop {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TunerWindow)
};

}  // namespace

class TunerWindow::TonePlayerAdapter : public TonePlayer {
  public:
    explicit TonePlayerAdapter(ReferenceTone& tone) : tone_(tone) {}
    int open() override { return tone_.open(); }
    int play(float frequency, int cents, int program) override {
        return tone_.play(frequency, cents, program);
    }
    void stop() override { tone_.stop(); }
    int close() override { return tone_.close(); }

  private:
    ReferenceTone& tone_;
};

namespace {

// A short tuner gives its meter the height that keeps the read-outs legible, up to two thirds of
// its own; the keys or buttons below move down and shrink into what is left.
TunerLayout legibleLayout(int cx, int cy, int buttonCount) {
    TunerLayout l = TunerLayout::compute(cx, cy, buttonCount);
    const int old = l.meterHeight;
    const int m = std::max(old, std::min(MeterLayout::kLegibleHeight, cy * 2 / 3));
    if (m == old) return l;
    const double scale = static_cast<double>(cy - m) / std::max(1, cy - old);
    const auto squeeze = [&](int y) {
        return m + static_cast<int>(std::lround((y - old) * scale));
    };
    for (PixelRect& b : l.buttons) {
        b.top = squeeze(b.top);
        b.bottom = squeeze(b.bottom);
    }
    l.meterHeight = m;
    l.meter.bottom = m;
    l.piano.top = m;
    return l;
}

}  // namespace

TunerWindow::TunerWindow(const Settings& settings, const PitchModel& pitch,
                         const TuningStore* tunings, int customNoteIndex, bool calibrationMode,
                         float calibrationFactor, MidiOutput& midi, WaveSound& sound,
                         TunerParent* parent, QWidget* parentWidget)
    : QWidget(parentWidget),
      settings_(settings),
      pitch_(pitch),
      tone_(std::make_unique<ReferenceTone>(settings.toneVolume, calibrationFactor,
                                            settings.toneUseMidi, settings.midiChannel,
                                            settings.pitchBendSpan, midi, sound)),
      player_(std::make_unique<TonePlayerAdapter>(*tone_)),
      logic_(
          std::make_unique<TunerLogic>(settings, pitch, tunings, customNoteIndex, calibrationMode,
                                       TunerLogic::Services{this, player_.get(), this, parent})) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(Texts::tr("Tuner"));
    setAccessibleDescription(Texts::tr("The reading of the tuner: note, cents and frequency"));
    useTunerAccessible(this);
    announcementClock_.start();
    clock_ = [this] { return static_cast<double>(announcementClock_.elapsed()) / 1000.0; };
    connect(&nextNoteTimer_, &QTimer::timeout, this,
            [this] { logic_->onTimer(TunerTimer::nextNote); });
    connect(&repeatTimer_, &QTimer::timeout, this, [this] { logic_->onTimer(TunerTimer::repeat); });
    connect(&endOfToneTimer_, &QTimer::timeout, this,
            [this] { logic_->onTimer(TunerTimer::endOfTone); });
    // The bands move on between blocks by the rate the last block measured, from the time
    // that has really passed, so a late frame does not slow them.
    strobeFrames_.setInterval(kStrobeFrameMs);
    strobeFrames_.setTimerType(Qt::PreciseTimer);
    connect(&strobeFrames_, &QTimer::timeout, this, [this] {
        if (strobe_ == nullptr) return;
        strobe_->advance(static_cast<double>(strobeClock_.restart()) / 1000.0);
    });
}

TunerWindow::~TunerWindow() {
    logic_->shutdown();
}

void TunerWindow::createChildren() {
    childrenCreated_ = true;
    meter_ = new MeterWindow(&pitch_, settings_.fineTuning != 0, this, largeReadouts_);
    if (inTuneCents_ >= 0.0f) meter_->setInTuneCents(inTuneCents_);
    meter_->setHeld(held_);
    if (strobeShown_) {
        strobe_ = new StrobePanel(this);
        strobe_->setObjectName(QStringLiteral("strobePanel"));
        strobe_->setAccessibleName(Texts::tr("Strobe"));
        strobe_->setAccessibleDescription(
            Texts::tr("Bands of the first, second and fourth partial: they drift right when "
                      "sharp, left when flat and stand still in tune"));
        strobeClock_.start();
        strobeFrames_.start();
    }
    if (logic_->pianoMode()) {
        piano_ = new PianoWnd(&pitch_, settings_.pianoFirstOctave, settings_.pianoOctaveCount,
                              false, this);
        connect(piano_, &PianoWnd::keyClicked, this, [this](int key) { playNote(key, false); });
    } else {
        for (int i = 0; i < logic_->buttonCount(); ++i) {
            const TunerLogic::ButtonSetup b = logic_->buttonSetup(i);
            buttons_[i] = new NoteButton(QString::fromStdString(b.label), b.colour, b.style,
                                         kNoteButtonFirstId + i, b.clicksDisabled, this);
            connect(buttons_[i], &NoteButton::clicked, this,
                    [this](int id) { playNote(id, false); });
        }
    }
    placeChildren();
    meter_->show();
    if (strobe_) strobe_->show();
    if (piano_) piano_->show();
    for (NoteButton* b : buttons_) {
        if (b) b->show();
    }
}

void TunerWindow::placeChildren() {
    // The strobe takes the bottom quarter; meter and keys lay out above it as ever.
    const int strobeHeight = strobe_ != nullptr ? std::max(40, height() / 4) : 0;
    const int above = std::max(0, height() - strobeHeight);
    const TunerLayout l =
        legibleLayout(width(), above, logic_->pianoMode() ? 0 : logic_->buttonCount());
    if (strobe_ != nullptr) {
        const int margin = width() / 20;
        strobe_->setGeometry(margin, above, std::max(0, width() - 2 * margin),
                             std::max(0, strobeHeight - std::max(2, height() / 60)));
    }
    const auto rect = [](const PixelRect& r) {
        return QRect(r.left, r.top, r.width(), r.height());
    };
    meter_->setGeometry(rect(l.meter));
    if (piano_) piano_->setGeometry(rect(l.piano));
    for (size_t i = 0; i < l.buttons.size() && i < buttons_.size(); ++i) {
        if (buttons_[i]) buttons_[i]->setGeometry(rect(l.buttons[i]));
    }
}

void TunerWindow::resizeEvent(QResizeEvent*) {
    if (!childrenCreated_) {
        createChildren();
    } else {
        placeChildren();
    }
}

void TunerWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(192, 192, 192));
}

void TunerWindow::showReading(const PitchReading& reading) {
    logic_->showReading(reading.note, reading.tuningIndex, reading.frequency, reading.deviation);
}

void TunerWindow::showReading(int note, int aux, float frequency, float deviation) {
    logic_->showReading(note, aux, frequency, deviation);
}

void TunerWindow::playNote(int id, bool switchTo) {
    logic_->playNote(id, switchTo);
}

void TunerWindow::retryTone() {
    logic_->retryTone();
}

void TunerWindow::stopTone() {
    logic_->stopTone();
}

void TunerWindow::playExercise(ExerciseNotes& exercise) {
    logic_->playExercise(exercise);
}

void TunerWindow::showMeterValues(float frequency, float deviation, int note,
                                  const std::string& name) {
    if (meter_) meter_->showValues(frequency, deviation, note, name);
    announceReading(frequency, deviation, note, name);
}

void TunerWindow::announceReading(float frequency, float deviation, int note,
                                  const std::string& name) {
    const ReadingWordsStyle style{inTuneCents_, settings_.fineTuning != 0};
    readingWords_ = merlop::readingWords(frequency, deviation, note, name, style);
    // Whatever the language, no note reads as the words of no reading.
    const int key = readingWords_ == merlop::readingWords(0.0f, 0.0f, -1, {}, style) ? -1 : note;
    if (!announcements_.offer(key, readingWords_, clock_())) return;
    QAccessibleValueChangeEvent event(this, QString::fromStdString(readingWords_));
    QAccessible::updateAccessibility(&event);
}

void TunerWindow::setPianoKey(int key, char state) {
    if (piano_) piano_->setKey(key, state);
}

void TunerWindow::setButtonColour(int index, Rgb colour) {
    if (NoteButton* b = button(index)) b->setColor(colour);
}

void TunerWindow::setButtonLabel(int index, const std::string& label, Rgb colour) {
    if (NoteButton* b = button(index)) b->setLabel(QString::fromStdString(label), colour);
}

QTimer& TunerWindow::timer(TunerTimer t) {
    switch (t) {
        case TunerTimer::nextNote:
            return nextNoteTimer_;
        case TunerTimer::repeat:
            return repeatTimer_;
        case TunerTimer::endOfTone:
            break;
    }
    return endOfToneTimer_;
}

bool TunerWindow::timerActive(TunerTimer t) const {
    return const_cast<TunerWindow*>(this)->timer(t).isActive();
}

void TunerWindow::start(TunerTimer t, int ms) {
    timer(t).start(ms);
}

void TunerWindow::stop(TunerTimer t) {
    timer(t).stop();
}

void TunerWindow::showStrobe(const std::array<StrobeRow, StrobeAnalyser::kRows>& rows) {
    if (strobe_ == nullptr) return;
    std::vector<StrobeRowState> states;
    states.reserve(rows.size());
    for (const StrobeRow& r : rows) states.push_back({r.partial, r.resting, r.phase, r.rate});
    strobe_->setRows(states);
}

void TunerWindow::setHeld(bool held) {
    held_ = held;
    if (meter_) meter_->setHeld(held);
}

void TunerWindow::setInTuneCents(float cents) {
    inTuneCents_ = cents;
    if (meter_) meter_->setInTuneCents(cents);
}

}  // namespace merlop
