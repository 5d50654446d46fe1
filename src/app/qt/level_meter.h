#pragma once

#include <QCoreApplication>
#include <QWidget>

#include "app/frame_view.h"

namespace merlop {

// The status bar's input level: the block's peak on a bar from -60 to 0 dBFS with its value,
// and a "CLIP" mark while the input reaches full scale. It paints what it is given.
class LevelMeter final : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(LevelMeter)

  public:
    static constexpr float kFloorDbfs = -60.0f;

    explicit LevelMeter(QWidget* parent = nullptr);
    void showLevel(const LevelReading& level);
    const LevelReading& level() const { return level_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The mark's text, in the player's language; the bar leaves it room.
    static QString clipText();

    LevelReading level_;
};

}  // namespace merlop
