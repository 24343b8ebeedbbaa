#include "Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace skyloom::saver {
namespace {

bool bDebugMode = false;
int displayCount = 0;
int nCursorCount = 0;
bool overridden = false;

} // namespace

void setDebugMode(bool debug) {
    bDebugMode = debug;
}
bool debugMode() {
    return bDebugMode;
}

int ShowCursor(bool show) {
    displayCount += show ? 1 : -1;
    const bool hide = displayCount < 0;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && hide != overridden) {
        if (hide)
            QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        else
            QGuiApplication::restoreOverrideCursor();
        overridden = hide;
    }
    return displayCount;
}

void HideCursor() {
    if (bDebugMode)
        return;
    int count = ShowCursor(false);
    nCursorCount = count + 1;
    while (count >= 0)
        count = ShowCursor(false);
}

void RestoreCursor() {
    if (bDebugMode)
        return;
    while (ShowCursor(true) < nCursorCount) {
    }
}

} // namespace skyloom::saver
