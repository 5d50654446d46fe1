// The settings sheet driven as a user drives it, offscreen: typing, choosing, sliding, switching
// pages, OK / Cancel / Defaults; then the settings record and the tunings file are checked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <deque>
#include <string>
#include <vector>

#include "common/message_box.h"
#include "common/question_box.h"
#include "settings/qt/settings_sheet_dialog.h"
#include "settings/qt/up_down.h"
#include "settings/settings.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"

namespace merlop {
namespace {

using testing::TempDir;

// Input as the user makes it: key and mouse events through the application.
void keyClick(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

void keyClicks(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        const int key = c.isDigit() ? Qt::Key_0 + c.digitValue()
                        : c == '-'  ? Qt::Key_Minus
                        : c == '.'  ? Qt::Key_Period
                                    : Qt::Key_A + (c.toUpper().unicode() - 'A');
        keyClick(w, key, QString(c));
    }
}

void mouseClick(QWidget* w, QPoint at = {-1, -1}) {
    if (at.x() < 0) at = w->rect().center();
    const QPointF local(at);
    const QPointF global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

const std::array<int, 3> kRates = {11025, 22050, 44100};
const std::array<int, 2> kSizes = {8, 16};

struct ScriptedQuestions : QuestionBox {
    std::deque<bool> answers;
    std::vector<std::string> asked;
    bool ask(const std::string& text, const std::string& caption, Buttons b) override {
        asked.push_back(text + "|" + caption + (b == Buttons::yesNo ? "|yn" : "|oc"));
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct RecordedMessages : MessageBox {
    std::vector<std::string> shown;
    void show(const std::string& text, const std::string& caption) override {
        shown.push_back(text + "|" + caption);
    }
};

class SheetTest : public ::testing::Test {
  protected:
    void open(TuningStore* store = nullptr, const QFont* font = nullptr) {
        sheet_ = std::make_unique<SettingsSheet>(nullptr, settings_, store, kRates, kSizes,
                                                 questions_, messages_, font);
        sheet_->show();
    }
    template <class T>
    T* at(int page, int id) {
        T* w = sheet_->page(page)->control<T>(id);
        EXPECT_NE(w, nullptr) << "control " << id << " on page " << page;
        return w;
    }
    void goTo(int page) { sheet_->tabs()->setCurrentIndex(page); }
    void type(int page, int id, const QString& text) {
        QLineEdit* e = at<QLineEdit>(page, id);
        e->setFocus();
        e->selectAll();
        keyClicks(e, text);
    }
    void choose(int page, int id, int index) {
        QComboBox* c = at<QComboBox>(page, id);
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    void choose(int page, int id, const QString& text) {
        QComboBox* c = at<QComboBox>(page, id);
        const int i = c->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        choose(page, id, i);
    }
    void click(int page, int id) { mouseClick(at<QPushButton>(page, id)); }
    void pressOk() { mouseClick(sheet_->buttons()->button(QDialogButtonBox::Ok)); }
    void pressCancel() { mouseClick(sheet_->buttons()->button(QDialogButtonBox::Cancel)); }
    bool closedWithOk() const {
        return sheet_->isHidden() && sheet_->result() == QDialog::Accepted;
    }

    Settings settings_;
    ScriptedQuestions questions_;
    RecordedMessages messages_;
    std::unique_ptr<SettingsSheet> sheet_;
};

// ---- layout and screenshots ------------------------------------------------------------------

void saveShot(const QImage& img, const std::string& name) {
    QDir().mkpath(MERLOP_SCREENSHOT_DIR);
    ASSERT_TRUE(img.save(QString(MERLOP_SCREENSHOT_DIR "/") + QString::fromStdString(name)));
}

QImage render(QWidget& w, qreal ratio) {
    QImage img(w.size() * ratio, QImage::Format_ARGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    w.render(&img);
    return img;
}

// Every visible control keeps its text whole and clear of its neighbours.
void expectTidy(SheetPage& page, const std::string& what) {
    std::vector<QWidget*> shown;
    for (QWidget* w : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isHidden()) shown.push_back(w);
    }
    for (QWidget* w : shown) {
        const QRect r = w->geometry();
        EXPECT_TRUE(page.rect().contains(r)) << what << ": " << w->objectName().toStdString();
        EXPECT_GE(r.width(), SheetPage::textWidthNeeded(w))
            << what << ": " << w->objectName().toStdString() << " clipped";
    }
    for (std::size_t a = 0; a < shown.size(); ++a) {
        for (std::size_t b = a + 1; b < shown.size(); ++b) {
            const QRect i = shown[a]->geometry() & shown[b]->geometry();
            EXPECT_TRUE(i.isEmpty())
                << what << ": " << shown[a]->objectName().toStdString() << " \""
                << (qobject_cast<QLabel*>(shown[a]) ? qobject_cast<QLabel*>(shown[a])->text()
                                                    : QString())
                       .toStdString()
                << "\" overlaps " << shown[b]->objectName().toStdString() << " \""
                << (qobject_cast<QLabel*>(shown[b]) ? qobject_cast<QLabel*>(shown[b])->text()
                                                    : QString())
                       .toStdString()
                << "\"";
        }
    }
}

TEST_F(SheetTest, PagesInOrderLaidOutTidyAtTwoFontSizesAndTwoPixelRatios) {
    TempDir dir;
    TuningStore store(dir.path());
    for (const int points : {8, 11}) {
        QFont font("DejaVu Sans");
        font.setPointSize(points);
        open(&store, &font);
        QTabWidget* tabs = sheet_->tabs();
        ASSERT_EQ(tabs->count(), 5);
        EXPECT_EQ(sheet_->windowTitle(), "Settings");
        const QStringList captions = {"General", "Spectrum", "Reference Tone", "Ear ", "Custom "};
        const char* names[] = {"general", "spectrum", "tone", "ear", "custom"};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(tabs->tabText(i), captions[i]);
            goTo(i);
            ASSERT_EQ(tabs->currentIndex(), i);
            QApplication::processEvents();
            const std::string what = std::string(names[i]) + " at " + std::to_string(points);
            expectTidy(*sheet_->page(i), what);
            for (const int ratio : {1, 2}) {
                saveShot(render(*sheet_, ratio), "settings_" + std::string(names[i]) + "_" +
                                                     std::to_string(points) + "pt_" +
                                                     std::to_string(ratio) + "x.png");
            }
        }
        // The General page of 228 x 191 dialog units in the font's own units.
        const DialogUnits& u = sheet_->units();
        EXPECT_EQ(sheet_->page(0)->size(), QSize(u.x(228), u.y(191)));
        sheet_.reset();
    }
}

}  // namespace
}  // namespace merlop
