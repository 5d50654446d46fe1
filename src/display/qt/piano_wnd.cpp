#include "display/qt/piano_wnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "display/qt/frame3d_painter.h"
#include "display/qt/piano_accessible.h"
#include "display/qt/tuner_font.h"
#include "display/reading_words.h"
#include "pitch/pitch_model.h"

namespace merlop {

namespace {

QRect toQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

void fill(QPainter& p, const PixelRect& r, const QColor& c) {
    if (r.width() > 0 && r.height() > 0) p.fillRect(toQRect(r), c);
}

void markName(QPainter& p, const PianoState::Paint& plan) {
    if (plan.nameFontW <= 0 || plan.markName.empty()) return;
    p.setFont(tunerFont(4 * plan.nameFontW, plan.nameFontW, true));
    p.setPen(Qt::black);
    p.drawText(toQRect(plan.markRect), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
               QString::fromStdString(plan.markName));
}

}  // namespace

void paintPiano(QPainter& p, const PianoLayout& l, const PianoState::Paint& plan) {
    p.fillRect(QRect(0, 0, l.width, l.height), QColor(192, 192, 192));
    if (l.whiteW <= 0 || l.whiteH <= 0) return;
    fill(p, l.whiteArea, Qt::white);
    const bool marked = plan.markKey > 0;
    const bool whiteMark = marked && PianoLayout::isWhite(plan.markKey);
    if (whiteMark) {
        fill(p, plan.markRect, toQColor(plan.markColour));
        markName(p, plan);
    }
    p.setPen(QPen(Qt::black, 1));
    for (int x : plan.whiteLines) p.drawLine(x, l.y0, x, l.y0 + l.whiteH - 1);
    for (const PixelRect& k : plan.blackKeys) fill(p, k, Qt::black);
    if (marked && !whiteMark) {
        fill(p, plan.markRect, toQColor(plan.markColour));
        markName(p, plan);
    }
    const PixelRect& a = l.whiteArea;
    drawFrame3D(p, a, true);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(a.left, a.top, a.right - 1, a.top);
    p.drawLine(a.left, a.top, a.left, a.bottom - 1);
    if (plan.octaveFontH > 0) {
        p.setFont(
            tunerFont(plan.octaveFontH, std::max(plan.nameFontW, plan.octaveFontH / 2), true));
        for (const PianoState::OctaveLabel& o : plan.octaves) {
            p.drawText(QRect(o.x, o.y, 10000, 10000),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                       QString::fromStdString(o.text));
        }
    }
}

PianoWnd::PianoWnd(const PitchModel* pitch, int firstOctave, int octaveCount, bool clicksDisabled,
                   QWidget* parent)
    : QWidget(parent),
      pitch_(pitch),
      firstOctave_(firstOctave),
      octaveCount_(octaveCount),
      clicksDisabled_(clicksDisabled) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    layout_ = PianoLayout::compute(width(), height(), firstOctave_, octaveCount_);
    state_.setFirstKeyShown(layout_.firstKey);
    usePianoAccessible(this);
    setAccessibleName(tr("Keyboard"));
    describe();
}

QString PianoWnd::keyName(int key) const {
    static const PitchModel defaultPitch;
    const PitchModel& pitch = pitch_ ? *pitch_ : defaultPitch;
    return QString::fromStdString(
        spokenNoteName(pitch.fullNoteName(key - PitchModel::midiNumber(0))));
}

QString PianoWnd::keyState(int key) const {
    if (key < 0 || key != state_.markKey()) return {};
    if (state_.markState() == 'P') return tr("Playing");
    return state_.markState() == 'T' ? tr("Detected") : QString();
}

QRect PianoWnd::keyRect(int key) const {
    return toQRect(layout_.keyRect(key, state_.firstKeyShown()));
}

void PianoWnd::pressKey(int key) {
    if (!clicksDisabled_ && key >= 0) emit keyClicked(key);
}

void PianoWnd::describe() {
    // Whole sentences, each translated as one: the marked key, then whether a click plays.
    static const char* const kDescriptions[3][2] = {
        {QT_TR_NOOP("Piano keyboard of %1 keys."),
         QT_TR_NOOP("Piano keyboard of %1 keys. Click a key to hear its reference tone.")},
        {QT_TR_NOOP("Piano keyboard of %1 keys. Detected %2."),
         QT_TR_NOOP("Piano keyboard of %1 keys. Detected %2. Click a key to hear its reference "
                    "tone.")},
        {QT_TR_NOOP("Piano keyboard of %1 keys. Playing %2."),
         QT_TR_NOOP("Piano keyboard of %1 keys. Playing %2. Click a key to hear its reference "
                    "tone.")},
    };
    const int marked = state_.markKey();
    const int mark = keyState(marked).isEmpty() ? 0 : state_.markState() == 'P' ? 2 : 1;
    QString text = tr(kDescriptions[mark][clicksDisabled_ ? 0 : 1]).arg(layout_.numKeys);
    if (mark != 0) text = text.arg(keyName(marked));
    if (text != accessibleDescription()) setAccessibleDescription(text);
}

void PianoWnd::resizeEvent(QResizeEvent*) {
    layout_ = PianoLayout::compute(width(), height(), firstOctave_, octaveCount_);
}

void PianoWnd::setKey(int key, char state) {
    if (state_.setKey(key, state)) repaint();
    describe();
}

void PianoWnd::paintEvent(QPaintEvent*) {
    static const PitchModel defaultPitch;
    QPainter painter(this);
    paintPiano(painter, layout_, state_.beginPaint(layout_, pitch_ ? *pitch_ : defaultPitch));
}

void PianoWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || clicksDisabled_) return;
    const QPoint pos = event->position().toPoint();
    const int key = layout_.keyAt(pos.x(), pos.y(), state_.firstKeyShown());
    if (key >= 0) emit keyClicked(key);
}

}  // namespace merlop
