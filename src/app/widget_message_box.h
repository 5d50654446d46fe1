#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "audio/message_box.h"

namespace merlop {

// Shows each message as a modal box with an OK button over the given window.
class WidgetMessageBox : public MessageBox {
  public:
    explicit WidgetMessageBox(QWidget* parent = nullptr) : parent_(parent) {}

    void show(const std::string& text, const std::string& caption) override {
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                        QString::fromStdString(text), QMessageBox::Ok, parent_.data());
        box.exec();
    }

  private:
    QPointer<QWidget> parent_;
};

}  // namespace merlop
