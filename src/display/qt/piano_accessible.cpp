#include "display/qt/piano_accessible.h"

#include <QAccessibleActionInterface>

#include "display/qt/piano_wnd.h"

namespace merlop {

namespace {

// One key: the index-th key of the octaves drawn.
class PianoKeyAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    PianoKeyAccessible(PianoWnd* piano, int index) : piano_(piano), index_(index) {}

    bool isValid() const override { return !piano_.isNull(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(piano_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return piano_->keyName(key());
        if (t == QAccessible::Description) return piano_->keyState(key());
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = piano_->keyRect(key());
        return QRect(piano_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid() || piano_->keyRect(key()).isEmpty()) s.invisible = true;
        if (isValid() && piano_->clicksDisabled()) s.disabled = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        if (!isValid() || piano_->clicksDisabled()) return {};
        return {pressAction()};
    }
    void doAction(const QString& name) override {
        if (isValid() && name == pressAction()) piano_->pressKey(key());
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    int key() const { return piano_->state().firstKeyShown() + index_; }

    QPointer<PianoWnd> piano_;
    int index_;
};

QAccessibleInterface* pianoFactory(const QString&, QObject* object) {
    if (auto* piano = qobject_cast<PianoWnd*>(object)) return new PianoAccessible(piano);
    return nullptr;
}

}  // namespace

PianoAccessible::PianoAccessible(PianoWnd* piano)
    : QAccessibleWidget(piano, QAccessible::Grouping) {}

PianoAccessible::~PianoAccessible() {
    for (const QAccessible::Id id : keys_) {
        if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }
}

const PianoWnd* PianoAccessible::piano() const {
    return static_cast<const PianoWnd*>(widget());
}

int PianoAccessible::childCount() const {
    return piano()->layout().numKeys;
}

QAccessibleInterface* PianoAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) return nullptr;
    if (keys_.size() < static_cast<size_t>(childCount())) keys_.resize(childCount(), 0);
    QAccessible::Id& id = keys_[index];
    if (id == 0) {
        auto* piano = const_cast<PianoWnd*>(this->piano());
        id = QAccessible::registerAccessibleInterface(new PianoKeyAccessible(piano, index));
    }
    return QAccessible::accessibleInterface(id);
}

int PianoAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) return -1;
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == id) return static_cast<int>(i);
    }
    return -1;
}

QAccessibleInterface* PianoAccessible::childAt(int x, int y) const {
    const QPoint local = piano()->mapFromGlobal(QPoint(x, y));
    const int key = piano()->layout().keyAt(local.x(), local.y(), piano()->state().firstKeyShown());
    if (key < 0) return nullptr;
    return child(key - piano()->state().firstKeyShown());
}

void usePianoAccessible(PianoWnd* piano) {
    static const bool installed = [] {
        QAccessible::installFactory(pianoFactory);
        return true;
    }();
    (void)installed;
    // See useTunerAccessible.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(piano);
    if (iface != nullptr && dynamic_cast<PianoAccessible*>(iface) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

}  // namespace merlop
