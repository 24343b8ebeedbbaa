#include "Identity.h"

#include <QApplication>
#include <QIcon>

namespace skyloom::app {

void setApplicationIcon() {
    static bool set = false;
    if (set)
        return;
    set = true;
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("skyloom"),
                                                 QIcon(QStringLiteral(":/skyloom/skyloom.svg"))));
}

void identifyApplication(bool withIcon) {
    // The application name is also the window class, which the desktop entry
    // names in StartupWMClass.
    QApplication::setApplicationName(QStringLiteral("skyloom"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
    if (withIcon)
        setApplicationIcon();
}

} // namespace skyloom::app
