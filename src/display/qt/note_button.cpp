#include "display/qt/note_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "display/frame3d.h"
#include "display/note_buttons.h"
#include "display/qt/frame3d_painter.h"
#include "display/qt/tuner_font.h"
#include "display/reading_words.h"

namespace merlop {

void paintNoteButton(QPainter& p, int w, int h, const QString& label, Rgb colour, int style) {
    p.fillRect(QRect(0, 0, w, h), toQColor(colour));
    const ButtonFont f = noteButtonFont(w, h, style, static_cast<int>(label.size()));
    if (f.height > 0 && !label.isEmpty()) {
        p.setFont(tunerFont(f.height, f.width, true));
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, w, h), Qt::AlignHCenter | Qt::AlignTop, label);
    }
    drawFrame3D(p, PixelRect{0, 0, w, h}, !(colour == kButtonYellow));
}

NoteButton::NoteButton(const QString& label, Rgb colour, int style, int id, bool clicksDisabled,
                       QWidget* parent)
    : QWidget(parent),
      label_(label.left(kMaxLabel)),
      colour_(colour),
      style_(style),
      id_(id),
      clicksDisabled_(clicksDisabled) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    describe();
}

void NoteButton::describe() {
    // The colour is the button's state; a screen reader cannot see it.
    setAccessibleName(QString::fromStdString(spokenNoteName(label_.toStdString())));
    // Whole sentences, each translated as one.
    static const char* const kStates[3][2] = {
        {"", QT_TR_NOOP("Click to hear its reference tone.")},
        {QT_TR_NOOP("Detected."), QT_TR_NOOP("Detected. Click to hear its reference tone.")},
        {QT_TR_NOOP("Playing its reference tone."),
         QT_TR_NOOP("Playing its reference tone. Click to hear its reference tone.")},
    };
    const int state = colour_ == kButtonRed ? 1 : colour_ == kButtonYellow ? 2 : 0;
    const char* text = kStates[state][clicksDisabled_ ? 0 : 1];
    setAccessibleDescription(*text != '\0' ? tr(text) : QString());
}

void NoteButton::setColor(Rgb colour) {
    colour_ = colour;
    describe();
    repaint();
}

void NoteButton::setLabel(const QString& label, Rgb colour) {
    label_ = label.left(kMaxLabel);
    colour_ = colour;
    describe();
    repaint();
}

void NoteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintNoteButton(painter, width(), height(), label_, colour_, style_);
}

void NoteButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !clicksDisabled_) emit clicked(id_);
}

}  // namespace merlop
