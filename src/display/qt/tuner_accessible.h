#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace merlop {

class TunerWindow;

// The tuner window as assistive technology sees it: its value is the reading in words (see
// readingWords), and as a number the cents off the note, so a value-change event carries news
// a screen reader will speak.
class TunerAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit TunerAccessible(TunerWindow* window);

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {}  // a reading is not set by hand
    QVariant maximumValue() const override { return 50.0; }
    QVariant minimumValue() const override { return -50.0; }
    QVariant minimumStepSize() const override { return 0.1; }

  private:
    const TunerWindow* tunerWindow() const;
};

// Makes every TunerWindow answer with a TunerAccessible; idempotent. Call it before asking for
// a window's interface; useTunerAccessible mends a window whose plain interface was made first.
void installTunerAccessibility();
void useTunerAccessible(TunerWindow* window);

}  // namespace merlop
