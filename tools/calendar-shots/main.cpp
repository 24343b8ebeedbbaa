// skyloom-calendar-shots: draws the month calendar on a photo at each of the
// nine positions and writes one PNG per position.
//
//   skyloom-calendar-shots PHOTO OUTDIR [--saver] [--size CODE]
//                          [--date YYYY-MM-DD] [--screen WIDTHxHEIGHT]
//
// The photo is stretched to the screen size (default 1024x768) as the
// wallpaper setter does with "Size to fit screen"; the calendar is then
// burnt in as on the wallpaper, or with --saver drawn as on the saver's
// screen. Size codes: 100, 66, 33, 20 (default 33).

#include "calendar/CalendarOverlay.h"
#include "graphics/WorkBuff.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <string>

using namespace skyloom;

namespace {

const char* const kPositionNames[] = {"top-left",    "top-center",    "top-right",
                                      "center-left", "center",        "center-right",
                                      "bottom-left", "bottom-center", "bottom-right"};

int usage() {
    std::fprintf(stderr, "usage: skyloom-calendar-shots PHOTO OUTDIR [--saver] [--size CODE] "
                         "[--date YYYY-MM-DD] [--screen WIDTHxHEIGHT]\n");
    return 2;
}

// The photo stretched to width × height in a new work buffer.
bool screenPicture(const std::string& photo, int width, int height, graphics::WorkBuff& out) {
    graphics::WorkBuff source;
    if (!source.InitWorkBuffFromFileScaled(photo, 0, width, height) ||
        !out.InitWorkBuff(width, height, 0))
        return false;
    graphics::SetStretchBltMode(out.hDC(), graphics::HALFTONE);
    return graphics::StretchBlt(out.hDC(), 0, 0, width, height, source.hDC(), 0, 0, source.Width(),
                                source.Height(), graphics::SRCCOPY);
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // never shows a window
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return usage();

    bool saver = false;
    int size = 33;
    int width = 1024, height = 768;
    QDate date = QDate::currentDate();
    for (int i = 3; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--saver") {
            saver = true;
        } else if (a == "--size" && hasValue) {
            size = args[++i].toInt();
        } else if (a == "--date" && hasValue) {
            date = QDate::fromString(args[++i], Qt::ISODate);
        } else if (a == "--screen" && hasValue) {
            const QStringList wh = args[++i].split('x');
            width = wh.size() == 2 ? wh[0].toInt() : 0;
            height = wh.size() == 2 ? wh[1].toInt() : 0;
        } else {
            return usage();
        }
    }
    if (!date.isValid() || width < 1 || height < 1 || width > 16384 || height > 16384)
        return usage();

    const std::string photo = args[1].toStdString();
    const QString outDir = args[2];
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    calendar::CalendarClass cal;
    for (int pos = 1; pos <= 9; ++pos) {
        graphics::WorkBuff picture;
        if (!screenPicture(photo, width, height, picture)) {
            std::fprintf(stderr, "cannot read %s\n", photo.c_str());
            return 1;
        }
        QImage& pixels = *rasterkit::pixels(picture.hBMP());
        bool drawn = false;
        if (saver) {
            calendar::SaverCalendarSettings s;
            s.CalSize = size;
            s.CalPos = pos;
            drawn = calendar::DispCalender(cal, pixels, s, pixels.size(), date);
        } else {
            calendar::WallpaperCalendarSettings s;
            s.size = size;
            s.position = pos;
            drawn = calendar::DispCalendar(cal, picture.hBMP(), width, height, s, date);
        }
        const QString file = QStringLiteral("%1/calendar-%2-%3-%4.png")
                                 .arg(outDir, saver ? "saver" : "wallpaper")
                                 .arg(pos)
                                 .arg(kPositionNames[pos - 1]);
        if (!drawn || !pixels.save(file, "PNG")) {
            std::fprintf(stderr, "cannot draw or write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
