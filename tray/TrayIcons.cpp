#include "TrayIcons.h"

#include <QString>

namespace skyloom::tray {

QIcon LoadTrayIcon(int id) {
    const QString state = id == kIconPaused ? QStringLiteral("paused") : QStringLiteral("active");
    QIcon icon;
    for (int size : {16, 22, 32, 48})
        icon.addFile(QStringLiteral(":/paperwheel/paperwheel-%1-%2.png").arg(state).arg(size),
                     QSize(size, size));
    return icon;
}

} // namespace skyloom::tray
