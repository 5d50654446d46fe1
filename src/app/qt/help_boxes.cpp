#include "app/qt/help_boxes.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace merlop {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(HelpBoxes)
};

}  // namespace

void showHelpWindow(QPointer<QTextBrowser>& help, const QIcon& icon) {
    if (help == nullptr) {
        help = new QTextBrowser();
        help->setAttribute(Qt::WA_DeleteOnClose);
        help->setObjectName(QStringLiteral("helpWindow"));
        help->setWindowTitle(Texts::tr("Merlop Help"));
        help->setWindowIcon(icon);
        help->setOpenExternalLinks(true);
        help->setSource(QUrl(QStringLiteral("qrc:/guide/index.html")));
        help->resize(640, 720);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

void runAboutBox(QWidget* parent) {
    QDialog box(parent);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowTitle(Texts::tr("About Merlop"));
    auto* icon = new QLabel(&box);
    icon->setPixmap(parent->windowIcon().pixmap(32, 32));
    auto* text =
        new QLabel(Texts::tr("Merlop Version %1").arg(QStringLiteral(MERLOP_VERSION_TEXT)), &box);
    auto* ok = new QPushButton(Texts::tr("OK"), &box);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* column = new QVBoxLayout(&box);
    column->addLayout(row);
    column->addStretch(1);
    column->addLayout(buttons);
    // 186 x 95 dialog units of the dialog's font.
    const QFontMetrics fm(box.font());
    const int baseX = fm.averageCharWidth();
    const int baseY = fm.height();
    box.setMinimumSize(186 * baseX / 4, 95 * baseY / 8);
    box.exec();
}

}  // namespace merlop
