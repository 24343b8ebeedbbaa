// The configuration dialog's windows carry the program's icon and name the
// desktop entry they belong to, and that entry names the window class Qt
// gives them, so docks and task bars show the right icon.

#include "apps/skyloom/Identity.h"
#include "config/frmMoonfield.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

using namespace skyloom;

namespace {

// The keys of a desktop entry's [Desktop Entry] group.
std::map<std::string, std::string> desktopEntry(const std::string& id) {
    const char* src = std::getenv("SKYLOOM_SOURCE_DIR");
    std::ifstream in(std::string(src ? src : ".") + "/apps/data/" + id + ".desktop");
    std::map<std::string, std::string> keys;
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[')
            inGroup = line == "[Desktop Entry]";
        else if (const auto eq = line.find('='); inGroup && eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

bool hasOpaquePixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

} // namespace

TEST(AppIdentity, DialogCarriesTheIconAndItsDesktopEntry) {
    static int argc = 1;
    static char arg0[] = "skyloom";
    static char* argv[] = {arg0, nullptr};
    QApplication app(argc, argv);
    app::identifyApplication();

    const std::string id = QGuiApplication::desktopFileName().toStdString();
    EXPECT_EQ(id, "moonfield-screensaver");
    const auto entry = desktopEntry(id);
    ASSERT_FALSE(entry.empty()) << "no desktop entry " << id << ".desktop";
    EXPECT_EQ(entry.at("Exec"), "skyloom");
    EXPECT_EQ(entry.at("Icon"), "skyloom");
    // Qt names an X11 window's class after the application.
    EXPECT_EQ(entry.count("StartupWMClass") ? entry.at("StartupWMClass") : "",
              QCoreApplication::applicationName().toStdString());

    config::frmMoonfield dialog;
    const QIcon icon = dialog.windowIcon();
    ASSERT_FALSE(icon.isNull());
    // The picture really renders (the SVG image plugin is there), at the
    // sizes docks and title bars ask for.
    for (int size : {16, 48}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_FALSE(image.isNull()) << size;
        EXPECT_TRUE(hasOpaquePixel(image)) << "blank icon at " << size << " pixels";
    }
}
