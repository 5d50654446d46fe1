// The settings sheet in a language whose texts run about a third longer than the English, as
// German does: every text still reaches its control translated and shows whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTranslator>
#include <string>
#include <vector>

#include "app/qt/language.h"
#include "common/message_box.h"
#include "common/question_box.h"
#include "settings/qt/settings_sheet_dialog.h"
#include "settings/settings.h"
#include "settings/settings_sheet.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"

namespace merlop {
namespace {

QString rightTrimmed(QString s) {
    while (s.endsWith(' ')) s.chop(1);
    return s;
}

// Each text followed by its own first 35 %, trailing blanks kept at the end; every text it
// gave out is remembered, so a control showing anything else was never translated.
class LongerTranslator : public QTranslator {
  public:
    QString translate(const char* /*context*/, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        const QString s = QString::fromUtf8(source);
        const QString text = rightTrimmed(s);
        if (text.trimmed().isEmpty()) return {};
        QString out = text + text.left((text.size() * 35 + 99) / 100) + s.mid(text.size());
        given_.insert(out);
        return out;
    }
    bool isEmpty() const override { return false; }
    bool gave(const QString& text) const { return given_.contains(text); }

  private:
    mutable QSet<QString> given_;
};

// Both ways a text is translated, the core's and Qt's, for as long as the test runs.
struct LongerLanguage {
    LongerTranslator translator;
    TranslatorInUse inUse{translator};
};

struct NoQuestions : QuestionBox {
    bool ask(const std::string&, const std::string&, Buttons) override { return false; }
};
struct Messages : MessageBox {
    std::vector<std::string> shown;
    void show(const std::string& text, const std::string&) override { shown.push_back(text); }
};

QString textOf(const QWidget* w) {
    if (const auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    return {};
}

// The width the style leaves a button's text, measured as the style draws it.
int textRoom(const QAbstractButton* b) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    QStyle::SubElement e = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(b) != nullptr) e = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(b) != nullptr) e = QStyle::SE_RadioButtonContents;
    return b->style()->subElementRect(e, &opt, b).width();
}

// Every visible text of the page translated, whole within its control, and no control over
// another or past the page.
void expectWholeTexts(const QWidget& page, const LongerTranslator& t, const std::string& what) {
    std::vector<QWidget*> shown;
    for (QWidget* w : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isHidden()) shown.push_back(w);
    }
    for (const QWidget* w : shown) {
        const QString text = textOf(w);
        const std::string name = what + " \"" + text.toStdString() + "\"";
        EXPECT_TRUE(page.rect().contains(w->geometry())) << name << " leaves the page";
        if (text.isEmpty()) continue;
        EXPECT_TRUE(t.gave(text)) << name << " is not translated";
        const int width = QFontMetrics(w->font()).horizontalAdvance(rightTrimmed(text));
        const auto* b = qobject_cast<const QAbstractButton*>(w);
        const int room = b != nullptr ? textRoom(b) : w->contentsRect().width();
        EXPECT_LE(width, room) << name << " is cut";
    }
    for (std::size_t a = 0; a < shown.size(); ++a) {
        for (std::size_t b = a + 1; b < shown.size(); ++b) {
            EXPECT_TRUE((shown[a]->geometry() & shown[b]->geometry()).isEmpty())
                << what << " \"" << textOf(shown[a]).toStdString() << "\" overlaps \""
                << textOf(shown[b]).toStdString() << "\"";
        }
    }
}

TEST(SheetInALongerLanguage, EveryPageShowsItsTextsTranslatedAndWhole) {
    const LongerLanguage language;
    merlop::testing::TempDir dir;
    TuningStore store(dir.path());
    Settings settings;
    NoQuestions questions;
    Messages messages;
    for (const int points : {8, 11}) {
        QFont font("DejaVu Sans");
        font.setPointSize(points);
        SettingsSheet sheet(nullptr, settings, &store, {11025, 22050, 44100}, {8, 16}, questions,
                            messages, &font);
        sheet.show();
        EXPECT_TRUE(language.translator.gave(sheet.windowTitle()));
        QTabWidget* tabs = sheet.tabs();
        // All five tabs in view, none behind scroll buttons.
        EXPECT_LE(tabs->tabBar()->sizeHint().width(), tabs->width()) << points << " pt";
        for (int i = 0; i < tabs->count(); ++i) {
            EXPECT_TRUE(language.translator.gave(tabs->tabText(i)))
                << tabs->tabText(i).toStdString();
            tabs->setCurrentIndex(i);
            ASSERT_EQ(tabs->currentIndex(), i);
            QApplication::processEvents();
            expectWholeTexts(*sheet.page(i), language.translator,
                             "page " + std::to_string(i) + " at " + std::to_string(points) + " pt");
        }
        if (points == 8) {
            tabs->setCurrentIndex(0);
            QApplication::processEvents();
            QImage shot(sheet.size(), QImage::Format_ARGB32);
            shot.fill(Qt::white);
            sheet.render(&shot);
            QDir().mkpath(MERLOP_SCREENSHOT_DIR);
            EXPECT_TRUE(shot.save(MERLOP_SCREENSHOT_DIR "/settings_general_longer_language.png"));
        }
    }
    // The page's checks speak the language too: a frequency that is no number is refused.
    SettingsSheet sheet(nullptr, settings, &store, {11025, 22050, 44100}, {8, 16}, questions,
                        messages);
    sheet.show();
    sheet.page(0)->control<QLineEdit>(1000)->setText("abc");
    sheet.tabs()->setCurrentIndex(1);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 0);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back(),
              QCoreApplication::translate("SettingsSheet", kIntegerMessage).toStdString());
    EXPECT_NE(messages.shown.back(), kIntegerMessage);
    sheet.page(0)->control<QLineEdit>(1000)->setText("1");
    sheet.tabs()->setCurrentIndex(1);
    const std::string english = "Please enter an integer between 400 and 500.";
    EXPECT_EQ(messages.shown.back().substr(0, english.size()), english);
    EXPECT_GT(messages.shown.back().size(), english.size());
}

}  // namespace
}  // namespace merlop
