#pragma once

// What a player reading the windows in another language sees: the catalogue's entries, and the
// texts the widgets show, so that a test can name each text that skipped the translation.

#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace merlop::testing {

struct CatalogueEntry {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

// The messages of a Qt .ts file; empty when it cannot be read.
std::vector<CatalogueEntry> readCatalogue(const QString& path);
QString germanCatalogue();

// Every text `root` and its children show or speak: widget and button texts, labels, group
// and tab titles, combo entries, window titles, tool tips, status tips, What's This, accessible
// names and descriptions, menu and toolbar actions. Each comes as "where: text".
struct ShownText {
    QString where;
    QString text;
};
std::vector<ShownText> shownTexts(const QWidget& root);

// The shown texts that are none of the catalogue's translations (patterns with %1..%9 match
// any filling) and are not data such as numbers, note names and units; "where: text" each.
QStringList untranslated(const std::vector<ShownText>& shown,
                         const std::vector<CatalogueEntry>& catalogue);

}  // namespace merlop::testing
