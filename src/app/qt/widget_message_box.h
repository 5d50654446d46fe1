#pragma once

#include <QMessageBox>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>

#include "common/message_box.h"

namespace merlop {

// Shows each message as a modal box with an OK button over the given window, after the call
// that reported it has returned: devices and the analysis report from inside their callbacks,
// and a modal box there would run a nested event loop in which the same callback can run again.
// Boxes appear in the order reported, strictly one after the other, on this object's thread;
// those still waiting when it is destroyed are not shown.
class WidgetMessageBox : public MessageBox {
  public:
    explicit WidgetMessageBox(QWidget* parent = nullptr) : parent_(parent) {}

    void show(const std::string& text, const std::string& caption) override {
        enqueue([this, text = QString::fromStdString(text),
                 caption = QString::fromStdString(caption)] {
            QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent_.data());
            box.exec();
        });
    }

    // Runs `task` once every box reported before it has been closed.
    void afterBoxes(std::function<void()> task) { enqueue(std::move(task)); }

    // Boxes and tasks not yet done.
    int waiting() const { return static_cast<int>(queue_.size()) + (busy_ ? 1 : 0); }

  private:
    void enqueue(std::function<void()> item) {
        queue_.push_back(std::move(item));
        QMetaObject::invokeMethod(
            &context_, [this] { pump(); }, Qt::QueuedConnection);
    }

    // A box's own event loop may run the next pump: it returns at once, and the loop below
    // goes on once the box is closed.
    void pump() {
        if (busy_) return;
        while (!queue_.empty()) {
            std::function<void()> item = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
            item();
            busy_ = false;
        }
    }

    QPointer<QWidget> parent_;
    QObject context_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
};

}  // namespace merlop
