#pragma once

#include <QAbstractButton>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "common/question_box.h"

namespace merlop {

// A modal question over the given window, answered before ask() returns.
class WidgetQuestionBox : public QuestionBox {
    Q_DECLARE_TR_FUNCTIONS(WidgetQuestionBox)

  public:
    explicit WidgetQuestionBox(QWidget* parent = nullptr) : parent_(parent) {}

    bool ask(const std::string& text, const std::string& caption, Buttons buttons) override {
        if (buttons == Buttons::ok || buttons == Buttons::okOrStartAfresh) {
            QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                            QString::fromStdString(text), QMessageBox::Ok, parent_.data());
            QAbstractButton* afresh = nullptr;
            if (buttons == Buttons::okOrStartAfresh) {
                afresh = box.addButton(tr("Start with Defaults"), QMessageBox::DestructiveRole);
                box.setInformativeText(
                    tr("OK quits. Start with Defaults keeps the damaged file beside the new one, "
                       "its name ending in .damaged."));
            }
            // Escape and Enter both take the safe answer.
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            box.exec();
            return afresh == nullptr || box.clickedButton() != afresh;
        }
        const bool yesNo = buttons == Buttons::yesNo;
        const auto accept = yesNo ? QMessageBox::Yes : QMessageBox::Ok;
        const auto reject = yesNo ? QMessageBox::No : QMessageBox::Cancel;
        QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                        QString::fromStdString(text), accept | reject, parent_.data());
        box.setDefaultButton(accept);
        box.setEscapeButton(reject);
        return box.exec() == accept;
    }

    int choose(const std::string& caption, const std::string& label,
               const std::vector<std::string>& items, int current) override {
        QStringList list;
        for (const std::string& item : items) list << QString::fromStdString(item);
        bool ok = false;
        const QString picked = QInputDialog::getItem(
            parent_.data(), QString::fromStdString(caption), QString::fromStdString(label), list,
            std::clamp(current, 0, std::max(0, static_cast<int>(list.size()) - 1)), false, &ok);
        return ok ? static_cast<int>(list.indexOf(picked)) : -1;
    }

    bool askText(const std::string& caption, const std::string& label,
                 std::string* value) override {
        bool ok = false;
        const QString answer = QInputDialog::getText(
            parent_.data(), QString::fromStdString(caption), QString::fromStdString(label),
            QLineEdit::Normal, QString::fromStdString(*value), &ok);
        if (ok) *value = answer.toStdString();
        return ok;
    }

    bool askNumber(const std::string& caption, const std::string& label, double lo, double hi,
                   int decimals, double* value) override {
        bool ok = false;
        const double answer = QInputDialog::getDouble(
            parent_.data(), QString::fromStdString(caption), QString::fromStdString(label), *value,
            lo, hi, decimals, &ok, Qt::WindowFlags(), std::pow(10.0, -decimals));
        if (ok) *value = answer;
        return ok;
    }

  private:
    QPointer<QWidget> parent_;
};

}  // namespace merlop
