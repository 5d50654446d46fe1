#pragma once

#include <QWidget>

#include "display/piano_layout.h"

class QPainter;

namespace merlop {

class PitchModel;

void paintPiano(QPainter& painter, const PianoLayout& layout, const PianoState::Paint& plan);

// The keyboard below the meter: marks the detected (red) or playing (yellow) key and turns a
// click on a key into a play request.
class PianoWnd : public QWidget {
    Q_OBJECT

  public:
    PianoWnd(const PitchModel* pitch, int firstOctave, int octaveCount, bool clicksDisabled,
             QWidget* parent = nullptr);

    // 'C' clear, 'T' detected, 'P' playing; repaints at once when the mark changes.
    void setKey(int key, char state);

    const PianoLayout& layout() const { return layout_; }
    bool clicksDisabled() const { return clicksDisabled_; }

    // For assistive technology, by MIDI key number: the spoken note name, whether it is
    // marked, where it is drawn (empty outside the octaves shown), and pressing it as a click.
    QString keyName(int key) const;
    QString keyState(int key) const;
    QRect keyRect(int key) const;
    void pressKey(int key);
    const PianoState& state() const { return state_; }

  signals:
    void keyClicked(int key);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void describe();

    const PitchModel* pitch_;
    int firstOctave_, octaveCount_;
    bool clicksDisabled_;
    PianoLayout layout_;
    PianoState state_;
};

}  // namespace merlop
