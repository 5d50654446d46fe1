#pragma once

#include <QAccessibleWidget>
#include <QPointer>
#include <vector>

namespace merlop {

class PianoWnd;

// The keyboard as assistive technology sees it: one child per key drawn, named after its note
// and pressed like the key under a click. Children follow the octaves shown, which move with
// the detected note.
class PianoAccessible : public QAccessibleWidget {
  public:
    explicit PianoAccessible(PianoWnd* piano);
    ~PianoAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

  private:
    const PianoWnd* piano() const;

    mutable std::vector<QAccessible::Id> keys_;  // 0: not asked for yet
};

// Makes every PianoWnd answer with a PianoAccessible (see useTunerAccessible).
void usePianoAccessible(PianoWnd* piano);

}  // namespace merlop
