#include "Identity.h"

#include <QApplication>
#include <QIcon>

namespace skyloom::app {

void identifyApplication() {
    // The application name is also the window class, which the desktop entry
    // names in StartupWMClass.
    QApplication::setApplicationName(QStringLiteral("skyloom"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("skyloom"),
                                                 QIcon(QStringLiteral(":/skyloom/skyloom.svg"))));
}

} // namespace skyloom::app
