#include "app/qt/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <clocale>

#include "common/translation.h"

namespace merlop {

namespace {

std::string translateWithQt(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

}  // namespace

QStringList translationFolders() {
    QStringList folders{QCoreApplication::applicationDirPath() +
                        QStringLiteral("/../share/merlop/translations")};
#ifdef MERLOP_TRANSLATIONS_BUILD_DIR
    folders << QStringLiteral(MERLOP_TRANSLATIONS_BUILD_DIR);
#endif
    return folders;
}

TranslatorInUse::TranslatorInUse(QTranslator& translator) : translator_(translator) {
    QCoreApplication::installTranslator(&translator_);
    installTranslator(translateWithQt);
}

TranslatorInUse::~TranslatorInUse() {
    installTranslator(nullptr);
    QCoreApplication::removeTranslator(&translator_);
}

Language::Language(const QLocale& locale) {
    // Qt set the C library to the environment's locale; the files, exports and read-outs the
    // core prints keep their decimal point in every language.
    std::setlocale(LC_NUMERIC, "C");
    if (qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt_);
    }
    for (const QString& folder : translationFolders()) {
        if (own_.load(locale, QStringLiteral("merlop"), QStringLiteral("_"), folder)) {
            ownInUse_.emplace(own_);
            catalogue_ = QDir::cleanPath(own_.filePath());
            break;
        }
    }
}

Language::~Language() {
    ownInUse_.reset();
    QCoreApplication::removeTranslator(&qt_);
}

}  // namespace merlop
