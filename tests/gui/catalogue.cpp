#include "gui/catalogue.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QWidget>
#include <QXmlStreamReader>
#include <algorithm>

namespace merlop::testing {

std::vector<CatalogueEntry> readCatalogue(const QString& path) {
    std::vector<CatalogueEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return entries;
    QXmlStreamReader xml(&file);
    QString context;
    CatalogueEntry entry;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            entry = CatalogueEntry{context, {}, {}, false};
        } else if (name == QLatin1String("source")) {
            entry.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            entry.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            entry.translation = xml.readElementText();
            entries.push_back(entry);
        }
    }
    return entries;
}

QString germanCatalogue() {
    return QStringLiteral(MERLOP_SOURCE_DIR "/res/translations/merlop_de.ts");
}

namespace {

void add(std::vector<ShownText>& out, const QString& where, const QString& text) {
    if (!text.trimmed().isEmpty()) out.push_back({where, text});
}

void addAction(std::vector<ShownText>& out, const QAction& a) {
    if (a.isSeparator()) return;
    add(out, QStringLiteral("action"), a.text());
    add(out, QStringLiteral("action tip"), a.toolTip());
    add(out, QStringLiteral("action status tip"), a.statusTip());
    add(out, QStringLiteral("action what's this"), a.whatsThis());
}

void addWidget(std::vector<ShownText>& out, const QWidget& w) {
    const QString kind = QString::fromLatin1(w.metaObject()->className()) + " " + w.objectName();
    if (w.isWindow()) add(out, kind + " title", w.windowTitle());
    add(out, kind + " tip", w.toolTip());
    add(out, kind + " status tip", w.statusTip());
    add(out, kind + " what's this", w.whatsThis());
    add(out, kind + " accessible name", w.accessibleName());
    add(out, kind + " accessible description", w.accessibleDescription());
    if (const auto* label = qobject_cast<const QLabel*>(&w)) add(out, kind, label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
        add(out, kind, button->text());
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&w)) add(out, kind, group->title());
    if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) {
        add(out, kind + " placeholder", edit->placeholderText());
    }
    if (const auto* tabs = qobject_cast<const QTabWidget*>(&w)) {
        for (int i = 0; i < tabs->count(); ++i) add(out, kind + " tab", tabs->tabText(i));
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(&w)) {
        for (int i = 0; i < combo->count(); ++i) add(out, kind + " entry", combo->itemText(i));
    }
    if (const auto* menu = qobject_cast<const QMenu*>(&w)) add(out, kind, menu->title());
    for (const QAction* a : w.actions()) addAction(out, *a);
}

// Mnemonics, the ellipsis of a command that asks more, and the blanks around are not what
// differs between the languages.
QString plain(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    text = text.trimmed();
    for (const QString& tail : {QStringLiteral("..."), QStringLiteral("…")}) {
        if (text.endsWith(tail)) text.chop(tail.size());
    }
    // A tool tip may carry its shortcut: "Pause (Space)".
    text.remove(QRegularExpression(QStringLiteral(" \\([^()]*\\)$")));
    return text.trimmed();
}

QRegularExpression patternOf(const QString& translation) {
    QStringList pieces = plain(translation).split(QRegularExpression(QStringLiteral("%[1-9]")));
    for (QString& piece : pieces) piece = QRegularExpression::escape(piece);
    const QString re = pieces.join(QStringLiteral(".*"));
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::DotMatchesEverythingOption);
}

bool isData(const QString& text) {
    static const QRegularExpression data(QStringLiteral(
        "^([-+0-9.,:/ %]*|[A-H][#b]?-?[0-9]*( ?[A-H][#b]?-?[0-9]*)*|Merlop|[-+0-9., ]*(Hz|dB|"
        "ms|s|%))$"));
    return data.match(text).hasMatch();
}

}  // namespace

std::vector<ShownText> shownTexts(const QWidget& root) {
    std::vector<ShownText> out;
    addWidget(out, root);
    for (const QWidget* w : root.findChildren<QWidget*>()) addWidget(out, *w);
    return out;
}

QStringList untranslated(const std::vector<ShownText>& shown,
                         const std::vector<CatalogueEntry>& catalogue) {
    std::vector<QRegularExpression> patterns;
    patterns.reserve(catalogue.size());
    // Qt's own texts come from Qt's catalogue, in the language it has.
    static const char* const qtTexts[][2] = {
        {"QPlatformTheme", "OK"},        {"QPlatformTheme", "Cancel"},
        {"QPlatformTheme", "&Yes"},      {"QPlatformTheme", "&No"},
        {"QPlatformTheme", "Close"},     {"QPlatformTheme", "Help"},
        {"QPlatformTheme", "Apply"},     {"QPlatformTheme", "Restore Defaults"},
        {"QTabBar", "Scroll Left"},      {"QTabBar", "Scroll Right"},
        {"QToolBar", "Show more items"}, {"QMenuBar", "Show more items"}};
    for (const auto& t : qtTexts) {
        patterns.push_back(patternOf(QCoreApplication::translate(t[0], t[1])));
    }
    for (const CatalogueEntry& e : catalogue) {
        // A bare "%1" would pass any text.
        QString words = plain(e.translation);
        words.remove(QRegularExpression(QStringLiteral("%[1-9]|[^\\p{L}]")));
        if (e.finished && !words.isEmpty()) patterns.push_back(patternOf(e.translation));
    }
    QStringList missing;
    for (const ShownText& s : shown) {
        const QString text = plain(s.text);
        if (isData(text)) continue;
        const bool found =
            std::any_of(patterns.begin(), patterns.end(),
                        [&](const QRegularExpression& p) { return p.match(text).hasMatch(); });
        if (!found) missing << s.where + ": " + s.text;
    }
    missing.removeDuplicates();
    return missing;
}

}  // namespace merlop::testing
