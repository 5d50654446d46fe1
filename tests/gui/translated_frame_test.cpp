// The main window in another language: the toolbar's temperaments are shown translated while
// the names the user gave (imported scales, custom tunings) stay as they are, and the help
// window finds the guide of the player's locale.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTranslator>
#include <fstream>
#include <optional>

#include "app/qt/language.h"
#include "app/qt/main_frame.h"
#include "gui/frame_fixture.h"
#include "pitch/temperament_table.h"
#include "settings/settings.h"

namespace merlop {
namespace {

// Marks every temperament it is asked for, so that a shown entry tells whether it went
// through the catalogue.
class MarkingTranslator : public QTranslator {
  public:
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (QByteArrayView(context) != "Temperaments") return {};
        return QStringLiteral("<%1>").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

constexpr char kPythagorean[] =
    "! pythagorean.scl\n!\nPythagorean on C\n 12\n!\n2187/2048\n9/8\n32/27\n81/64\n4/3\n"
    "729/512\n3/2\n6561/4096\n27/16\n16/9\n243/128\n2/1\n";

class TranslatedFrame : public testing::FrameFixture {
  protected:
    void TearDown() override {
        FrameFixture::TearDown();
        inUse.reset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void translate() { inUse.emplace(translator); }

    QStringList tuningEntries() const {
        QStringList entries;
        for (int i = 0; i < frame->tuningCombo()->count(); ++i) {
            entries << frame->tuningCombo()->itemText(i);
        }
        return entries;
    }

    QString openGuide() {
        frame->action(QStringLiteral("helpContents"))->trigger();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* browser = qobject_cast<QTextBrowser*>(w);
                browser != nullptr && w->objectName() == QStringLiteral("helpWindow")) {
                QString text = browser->toPlainText();
                browser->close();
                QApplication::processEvents();
                return text;
            }
        }
        return {};
    }

    MarkingTranslator translator;
    std::optional<TranslatorInUse> inUse;
};

TEST_F(TranslatedFrame, EveryTemperamentOfTheCatalogueIsShownTranslated) {
    translate();
    open();
    const QStringList entries = tuningEntries();
    ASSERT_EQ(entries.size(), TemperamentTable::kRows);
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        const QString name = QString::fromStdString(TemperamentTable::name(i)).trimmed();
        EXPECT_EQ(entries[i].trimmed(), QStringLiteral("<%1>").arg(name)) << i;
    }
}

TEST_F(TranslatedFrame, TheNamesTheUserGaveAreShownAsTheyAre) {
    translate();
    open();
    // An imported scale follows the catalogue under the name its file gives.
    const std::filesystem::path scale = dir / "pyth.scl";
    std::ofstream(scale, std::ios::binary) << kPythagorean;
    dialogs.scalaAnswer = scale.string();
    frame->action(QStringLiteral("importScala"))->trigger();
    QStringList entries = tuningEntries();
    ASSERT_EQ(entries.size(), TemperamentTable::kRows + 1);
    EXPECT_EQ(entries.back(), QStringLiteral("Pythagorean on C"));

    // Custom tunings are the user's list, whatever their place in it.
    frame->action(QStringLiteral("customTuning"))->trigger();
    ASSERT_TRUE(frame->core().customTuningOn());
    entries = tuningEntries();
    ASSERT_FALSE(entries.isEmpty());
    const QStringList translated = entries.filter(QRegularExpression(QStringLiteral("^<")));
    EXPECT_TRUE(translated.isEmpty()) << translated.join(u',').toStdString();
}

TEST_F(TranslatedFrame, WithoutATranslationTheEntriesAreTheCataloguesOwn) {
    open();
    const QStringList entries = tuningEntries();
    ASSERT_EQ(entries.size(), TemperamentTable::kRows);
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        // Padding and all, as the core gives them.
        EXPECT_EQ(entries[i].toStdString(), TemperamentTable::name(i)) << i;
    }
}

TEST_F(TranslatedFrame, TheHelpWindowShowsTheGuideOfTheLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    open();
    const QString german = openGuide();
    EXPECT_TRUE(german.contains(QStringLiteral("Eine Gitarre stimmen"))) << german.toStdString();
    EXPECT_FALSE(german.contains(QStringLiteral("Tuning a guitar")));

    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const QString other = openGuide();
    EXPECT_TRUE(other.contains(QStringLiteral("Tuning a guitar")));
}

// Read as files: every section the English guide links to is in the German one too, under the
// same anchor, and the heading names the same version.
TEST_F(TranslatedFrame, TheGermanGuideHasTheSectionsAndHeadingOfTheEnglish) {
    const auto read = [](const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return QString::fromUtf8(f.readAll());
    };
    const QString english = read(QStringLiteral(MERLOP_SOURCE_DIR "/res/guide/index.html"));
    const QString german = read(QStringLiteral(MERLOP_SOURCE_DIR "/res/guide/de/index.html"));
    const auto marks = [](const QString& html, const QString& pattern) {
        QStringList found;
        for (const auto& m : QRegularExpression(pattern).globalMatch(html)) found << m.captured(1);
        return found;
    };
    for (const QString& pattern :
         {QStringLiteral("id=\"([^\"]+)\""), QStringLiteral("href=\"([^\"]+)\""),
          QStringLiteral("<(h[1-3]|li|tr|table|code|ol|ul)\\b"),
          QStringLiteral("<h1>([^<]*)</h1>")}) {
        EXPECT_EQ(marks(german, pattern), marks(english, pattern)) << pattern.toStdString();
    }
    EXPECT_TRUE(german.contains(QStringLiteral("<html lang=\"de\">")));
}

}  // namespace
}  // namespace merlop
