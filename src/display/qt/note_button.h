#pragma once

#include <QString>
#include <QWidget>

#include "display/colour_table.h"

class QPainter;

namespace merlop {

void paintNoteButton(QPainter& painter, int width, int height, const QString& label, Rgb colour,
                     int style);

// One note of the tuner's button octave (or its single custom-tuning / calibration button).
class NoteButton : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMaxLabel = 31;

    NoteButton(const QString& label, Rgb colour, int style, int id, bool clicksDisabled,
               QWidget* parent = nullptr);

    // Both repaint at once.
    void setColor(Rgb colour);
    void setLabel(const QString& label, Rgb colour);

    const QString& label() const { return label_; }
    Rgb colour() const { return colour_; }
    int id() const { return id_; }
    bool clicksDisabled() const { return clicksDisabled_; }

  signals:
    void clicked(int id);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void describe();

    QString label_;
    Rgb colour_;
    int style_;
    int id_;
    bool clicksDisabled_;
};

}  // namespace merlop
