#include "Display.h"

#include "Locations.h"
#include "common/AtomicFile.h"
#include "common/Folders.h"
#include "common/Log.h"

#include <QByteArray>
#include <QFile>

#include <cstdlib>
#include <string>

namespace skyloom::platform {

namespace {

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

QString sizeFile() {
    return QString::fromStdString(cacheDirectory() + "/screen-size");
}

} // namespace

bool hasDisplay() {
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

bool platformNeedsNoDisplay() {
    // Platforms that draw to a window system cannot start without one.
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    // "xcb:option=value": the plugin's name comes before the colon.
    const qsizetype colon = chosen.indexOf(':');
    const QByteArray name = (colon < 0 ? chosen : chosen.left(colon)).toLower();
    return !chosen.isEmpty() && name != "xcb" && !name.startsWith("wayland");
}

void useOffscreenPlatform() {
    if (!platformNeedsNoDisplay())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void rememberScreenSize(QSize size) {
    if (!size.isValid() || size == rememberedScreenSize())
        return;
    const std::string text =
        std::to_string(size.width()) + "x" + std::to_string(size.height()) + "\n";
    std::string error;
    if (!makeFolders(cacheDirectory(), &error) ||
        !writeFileAtomically(sizeFile().toStdString(), text, &error))
        logWarning("platform", "could not record the screen size in " + sizeFile().toStdString() +
                                   ": " + error);
}

QSize rememberedScreenSize() {
    QFile file(sizeFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> parts = file.read(64).trimmed().split('x');
    if (parts.size() != 2)
        return {};
    bool okW = false;
    bool okH = false;
    const int w = parts[0].toInt(&okW);
    const int h = parts[1].toInt(&okH);
    // A screen larger than this is not one we can make a picture for.
    if (!okW || !okH || w < 1 || h < 1 || w > 16384 || h > 16384)
        return {};
    return {w, h};
}

} // namespace skyloom::platform
