#include "settings/qt/up_down.h"

#include <QKeyEvent>
#include <algorithm>

#include "settings/settings_sheet.h"

namespace merlop {

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setBuddy(QLineEdit* buddy) {
    if (buddy_) {
        buddy_->removeEventFilter(this);
        disconnect(buddy_, nullptr, this, nullptr);
    }
    buddy_ = buddy;
    if (buddy_) {
        buddy_->installEventFilter(this);
        connect(buddy_, &QObject::destroyed, this, [this] { buddy_ = nullptr; });
    }
}

void UpDown::setRange(int lo, int hi) {
    lo_ = std::min(lo, hi);
    hi_ = std::max(lo, hi);
}

void UpDown::stepBy(int direction) {
    if (!buddy_) return;
    const std::optional<int32_t> v = parseInteger(buddy_->text().toStdString());
    const long long from = v ? *v : lo_;
    const long long to =
        std::clamp<long long>(from + static_cast<long long>(direction) * step_, lo_, hi_);
    const QString text = QString::number(to);
    if (text == buddy_->text()) return;
    buddy_->setText(text);
    emit stepped();
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int h = height() / 2;
    up_->setGeometry(0, 0, width(), h);
    down_->setGeometry(0, h, width(), height() - h);
}

}  // namespace merlop
