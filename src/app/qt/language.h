#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <optional>

namespace merlop {

// The folders the tuner's catalogues are looked for in, first found first: beside the installed
// program, then the build tree's.
QStringList translationFolders();

// A catalogue translating the windows and the core's texts while this lives.
class TranslatorInUse {
  public:
    explicit TranslatorInUse(QTranslator& translator);
    ~TranslatorInUse();
    TranslatorInUse(const TranslatorInUse&) = delete;
    TranslatorInUse& operator=(const TranslatorInUse&) = delete;

  private:
    QTranslator& translator_;
};

// The program in a locale's language while this lives: Qt's own texts (standard buttons, file
// dialogs) and the tuner's, for the windows and for the core's texts. A language without a
// catalogue stays English.
class Language {
  public:
    explicit Language(const QLocale& locale);
    ~Language();
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;

    // The tuner's catalogue taken, empty for none.
    QString catalogue() const { return catalogue_; }

  private:
    QTranslator qt_;
    QTranslator own_;
    std::optional<TranslatorInUse> ownInUse_;
    QString catalogue_;
};

}  // namespace merlop
