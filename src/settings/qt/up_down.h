#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace merlop {

// A pair of arrow buttons that step the integer in a buddy edit, as the dialogs' spin controls
// do. The edit stays the place where the value lives: a text outside the range (typed by hand)
// is accepted there and only brought into the range by the next step. The Up and Down keys in
// the edit step too.
class UpDown : public QWidget {
    Q_OBJECT
  public:
    explicit UpDown(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return buddy_; }
    void setRange(int lo, int hi);
    void setStep(int step) { step_ = step; }
    int minimum() const { return lo_; }
    int maximum() const { return hi_; }
    int step() const { return step_; }

    // +1 up, -1 down.
    void stepBy(int direction);

  signals:
    // The buddy's text was changed by a step: an edit of the user's.
    void stepped();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* buddy_ = nullptr;  // cleared when the edit goes
    int lo_ = 0, hi_ = 100, step_ = 1;
};

}  // namespace merlop
