#include "display/qt/tuner_accessible.h"

#include <cmath>

#include "display/qt/meter_window.h"
#include "display/qt/tuner_window.h"

namespace merlop {

namespace {

QAccessibleInterface* tunerFactory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<TunerWindow*>(object)) return new TunerAccessible(window);
    return nullptr;
}

}  // namespace

TunerAccessible::TunerAccessible(TunerWindow* window)
    : QAccessibleWidget(window, QAccessible::Grouping) {}

const TunerWindow* TunerAccessible::tunerWindow() const {
    return static_cast<const TunerWindow*>(widget());
}

QString TunerAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value) return QString::fromStdString(tunerWindow()->readingWords());
    return QAccessibleWidget::text(t);
}

void* TunerAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QVariant TunerAccessible::currentValue() const {
    const MeterWindow* meter = tunerWindow()->meter();
    if (meter == nullptr || meter->model().note() < 0) return {};
    const double cents = static_cast<double>(meter->model().deviation()) * 100.0;
    if (!std::isfinite(cents)) return {};
    return cents;
}

void installTunerAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(tunerFactory);
        return true;
    }();
    (void)installed;
}

void useTunerAccessible(TunerWindow* window) {
    installTunerAccessibility();
    // While the QWidget part was being built the window was no TunerWindow yet, and an event
    // then may have left a plain interface in Qt's cache.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window);
    if (iface != nullptr && dynamic_cast<TunerAccessible*>(iface) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

}  // namespace merlop
