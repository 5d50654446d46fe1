#pragma once

#include <QMessageBox>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "common/message_box.h"

namespace merlop {

// Shows each message as a modal box with an OK button over the given window, after the call
// that reported it has returned: devices and the analysis report from inside their callbacks,
// and a modal box there would run a nested event loop in which the same callback can run again.
// Boxes appear in the order reported, one after the other, on this object's thread; those still
// waiting when it is destroyed are not shown.
class WidgetMessageBox : public MessageBox {
  public:
    explicit WidgetMessageBox(QWidget* parent = nullptr) : parent_(parent) {}

    void show(const std::string& text, const std::string& caption) override {
        QMetaObject::invokeMethod(
            &context_,
            [this, text = QString::fromStdString(text), caption = QString::fromStdString(caption)] {
                QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok,
                                parent_.data());
                box.exec();
            },
            Qt::QueuedConnection);
    }

  private:
    QPointer<QWidget> parent_;
    QObject context_;
};

}  // namespace merlop
