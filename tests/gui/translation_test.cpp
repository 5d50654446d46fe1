#include "common/translation.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/qt/language.h"
#include "app/readings.h"
#include "common/message_box.h"
#include "common/question_box.h"
#include "gui/catalogue.h"
#include "settings/qt/settings_sheet_dialog.h"
#include "settings/settings.h"

namespace merlop {
namespace {

using testing::CatalogueEntry;

QStringList placeholders(const QString& text) {
    QStringList found;
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found << text.mid(i, 2);
    }
    found.sort();
    return found;
}

int mnemonics(const QString& text) {
    QString t = text;
    t.remove(QStringLiteral("&&"));
    return static_cast<int>(t.count(QLatin1Char('&')));
}

// A translation that drops a %1 loses the file name or number it stands for; one without the
// source's mnemonic leaves its menu entry without a key.
TEST(Catalogue, EveryTranslationKeepsWhatTheSourceFillsIn) {
    const std::vector<CatalogueEntry> entries = testing::readCatalogue(testing::germanCatalogue());
    ASSERT_GT(entries.size(), 300u);
    QStringList faults;
    for (const CatalogueEntry& e : entries) {
        const QString name = "[" + e.context + "] " + e.source;
        if (!e.finished || e.translation.isEmpty()) faults << "no translation: " + name;
        if (placeholders(e.source) != placeholders(e.translation))
            faults << "placeholders: " + name;
        if (mnemonics(e.source) != mnemonics(e.translation)) faults << "mnemonic: " + name;
        if (e.source.endsWith(QStringLiteral("...")) &&
            !(e.translation.endsWith(QStringLiteral("...")) ||
              e.translation.endsWith(QStringLiteral("…")))) {
            faults << "ellipsis: " + name;
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
}

struct NoQuestions : QuestionBox {
    bool ask(const std::string&, const std::string&, Buttons) override { return false; }
};
struct NoMessages : MessageBox {
    void show(const std::string&, const std::string&) override {}
};

TEST(Language, TheSettingsSheetIsGermanUnderAGermanLocale) {
    const Language german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_FALSE(german.catalogue().isEmpty()) << "no merlop_de.qm in the build";
    Settings settings;
    NoQuestions questions;
    NoMessages messages;
    SettingsSheet sheet(nullptr, settings, nullptr, {11025, 22050, 44100}, {8, 16}, questions,
                        messages);
    sheet.show();
    const QStringList missing = testing::untranslated(
        testing::shownTexts(sheet), testing::readCatalogue(testing::germanCatalogue()));
    EXPECT_TRUE(missing.isEmpty()) << missing.join('\n').toStdString();
}

TEST(Language, ALanguageWithoutCatalogueStaysEnglish) {
    const Language french(QLocale(QLocale::French, QLocale::France));
    EXPECT_TRUE(french.catalogue().isEmpty());
    EXPECT_EQ(translate("MainFrame", "For Help, press F1"), "For Help, press F1");
    EXPECT_EQ(QCoreApplication::translate("merlop::FrameBars", "&File"), "&File");
}

// Qt hands the environment's locale to the C library; under a German one printf writes "1,5",
// which would reach the CSV exports and the read-outs.
TEST(Language, FilesKeepTheDecimalPointUnderAGermanLocale) {
    QTemporaryDir locales;
    ASSERT_TRUE(locales.isValid());
    const int made = QProcess::execute(
        QStringLiteral("localedef"),
        {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
         QStringLiteral("UTF-8"), locales.path() + QStringLiteral("/de_DE.UTF-8")});
    if (made != 0) GTEST_SKIP() << "localedef cannot build de_DE.UTF-8 here";
    ::setenv("LOCPATH", locales.path().toLocal8Bit().constData(), 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the German locale does not write a decimal comma";
    std::string line;
    {
        const Language german(QLocale(QLocale::German, QLocale::Germany));
        line = customReadingLine("A4", 440.0f, true, 441.25f, 0.049f);
    }
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    EXPECT_EQ(line, customReadingLine("A4", 440.0f, true, 441.25f, 0.049f));
}

}  // namespace
}  // namespace merlop
