#pragma once

#include <QPointer>
#include <QTextBrowser>

class QIcon;
class QWidget;

namespace merlop {

// Shows the user guide in `help`, made first if there is none; it deletes itself on close.
void showHelpWindow(QPointer<QTextBrowser>& help, const QIcon& icon);

// Shows the About box over `parent` until it is closed.
void runAboutBox(QWidget* parent);

}  // namespace merlop
