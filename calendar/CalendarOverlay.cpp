#include "calendar/CalendarOverlay.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "graphics/WorkBuff.h"

#include <QGuiApplication>
#include <QPainter>

namespace skyloom::calendar {
namespace {

constexpr QRgb kKeyGreen = 0xff00ff00u;
constexpr int kPanelTranslucency = 33;

int nearestPixel(double v) {
    return static_cast<int>(roundHalfEven(v));
}

// Sets a picture's device pixel ratio to 1 while it lives, so that every
// painter works in the picture's own pixels, and puts it back afterwards.
class PixelScale {
public:
    explicit PixelScale(QImage& image) : image_(image), ratio_(image.devicePixelRatio()) {
        image_.setDevicePixelRatio(1.0);
    }
    ~PixelScale() { image_.setDevicePixelRatio(ratio_); }
    PixelScale(const PixelScale&) = delete;
    PixelScale& operator=(const PixelScale&) = delete;

private:
    QImage& image_;
    qreal ratio_;
};

// Text needs Qt's font database, which exists only with a GUI application.
bool canDrawText() {
    if (qGuiApp)
        return true;
    logWarning("calendar", "no GUI application, calendar not drawn");
    return false;
}

// The calendar picture with green as its key colour: written to and read
// back from "cal.bmp" in the work folder when there is one, else (or when
// the file cannot be used) taken straight from the hidden surface.
rasterkit::Handle calendarBitmap(const graphics::WorkBuff& hidden, const std::string& workFolder) {
    if (!workFolder.empty()) {
        const std::string path = workFolder + "/" + kCalendarFileName;
        if (rasterkit::SaveBitmap(path, hidden.hBMP()) == 0) {
            const rasterkit::Handle loaded = rasterkit::LoadBitMapEx(path, 0, 255, 0);
            if (loaded >= 0)
                return loaded;
        }
        logWarning("calendar", "cannot use " + path + " (" + rasterkit::LastError() +
                                   "), calendar taken from memory");
    }
    const QImage* surface = rasterkit::pixels(hidden.hBMP());
    return surface ? rasterkit::adoptBitmap(surface->copy(), kKeyGreen) : -1;
}

} // namespace

bool darkenPanel(QImage& picture, const CalendarFrame& frame, const QRect& clip) {
    const int tw = nearestPixel(frame.nWidth / 4.0);
    const int th = nearestPixel(frame.nHeight / 4.0);
    if (tw <= 0 || th <= 0)
        return false;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            QRect tile(frame.nLeft + c * tw, frame.nTop + r * th, tw, th);
            if (clip.isValid())
                tile &= clip;
            rasterkit::blendColour(picture, tile, qRgb(0, 0, 0), kPanelTranslucency);
        }
    return true;
}

CalendarFrame saverFrame(CalendarClass& calendar, const SaverCalendarSettings& settings,
                         QSize display, QSize picture) {
    CalendarFrame f;
    // Only the part of a picture larger than the display is on screen: the
    // calendar keeps its margins inside that part.
    picture = picture.boundedTo(display);
    const bool onPicture = !settings.bStretch2Fit && picture.width() > 0 && picture.height() > 0;
    const QSize base = onPicture ? picture : display;
    calendar.GetBounds(base.width(), base.height(), f.nLeft, f.nTop, f.nWidth, f.nHeight);
    if (onPicture && calendar.rows() > 0) {
        // The picture is centred on the display: keep the margins inside it.
        if (f.nWidth < display.width())
            f.nLeft = nearestPixel((display.width() - picture.width()) / 2.0 + f.nLeft);
        if (f.nHeight < display.height())
            f.nTop = nearestPixel((display.height() - picture.height()) / 2.0 + f.nTop);
    }
    return f;
}

bool DispCalender(CalendarClass& calendar, QImage& canvas, const SaverCalendarSettings& settings,
                  QSize picture, const QDate& today, QRect* drawn) {
    if (!settings.bCalender || canvas.isNull() || !canDrawText())
        return false;
    calendar.m_Pos = normalisePosition(settings.CalPos, 1, "saver");
    calendar.m_Size = sizeFraction(normaliseSizeCode(settings.CalSize, 20, "saver"));
    if (!calendar.SetDate(today)) {
        logWarning("calendar", "no valid date for the saver's calendar");
        return false;
    }
    const CalendarFrame f = saverFrame(calendar, settings, canvas.size(), picture);
    const PixelScale devicePixels(canvas);
    const QRect area = f.rect() & canvas.rect();
    if (!calendar.canDraw(f.nWidth, f.nHeight) || area.isEmpty()) {
        logInfo("calendar", "no room for the calendar on the saver's canvas");
        return false;
    }
    // The panel is darkened only inside the frame, the text drawn over it.
    darkenPanel(canvas, f, area);
    QImageCanvas surface(canvas);
    calendar.BeginDraw(surface, true, f.nLeft, f.nTop, f.nWidth, f.nHeight);
    if (drawn)
        *drawn = f.rect();
    return true;
}

bool DispCalendar(CalendarClass& calendar, rasterkit::Handle B, int W, int H,
                  const WallpaperCalendarSettings& settings, const QDate& today,
                  const std::string& workFolder, const QRect& visible) {
    if (!settings.enabled || !canDrawText())
        return false;
    if (!rasterkit::pixels(B) || W <= 0 || H <= 0) {
        logWarning("calendar", "no wallpaper picture to draw the calendar on");
        return false;
    }
    calendar.m_Pos = normalisePosition(settings.position, 3, "wallpaper");
    calendar.m_Size = sizeFraction(normaliseSizeCode(settings.size, 20, "wallpaper"));
    if (!calendar.SetDate(today)) {
        logWarning("calendar", "no valid date for the wallpaper's calendar");
        return false;
    }
    CalendarFrame f;
    const QRect area = visible.isValid() ? visible.intersected(QRect(0, 0, W, H)) : QRect();
    if (area.isValid()) {
        calendar.GetBounds(area.width(), area.height(), f.nLeft, f.nTop, f.nWidth, f.nHeight);
        f.nLeft += area.x();
        f.nTop += area.y();
    } else {
        calendar.GetBounds(W, H, f.nLeft, f.nTop, f.nWidth, f.nHeight);
    }
    if (!calendar.canDraw(f.nWidth, f.nHeight)) {
        logInfo("calendar", "no room for the calendar on the wallpaper");
        return false;
    }
    // The hidden surface: the frame's size, all green, the calendar filling it.
    graphics::WorkBuff hidden;
    if (!hidden.InitWorkBuff(f.nWidth, f.nHeight, 0)) {
        logWarning("calendar", "no surface for the wallpaper's calendar");
        return false;
    }
    QImage& surface = *rasterkit::pixels(hidden.hBMP());
    surface.fill(kKeyGreen);
    {
        QImageCanvas canvas(surface, QImageCanvas::Edges::Hard);
        calendar.BeginDraw(canvas, false);
    }

    const rasterkit::OwnedHandle art(calendarBitmap(hidden, workFolder));
    if (art.get() < 0)
        return false;
    darkenPanel(*rasterkit::pixels(B), f);
    rasterkit::DoBlitToWork(B, f.nLeft, f.nTop, art.get(), 0, 0, 0, 0, 1, 0, 0);
    return true;
}

bool DispCalendar(CalendarClass& calendar, rasterkit::Handle B, int W, int H,
                  const std::string& settingsFile, const std::string& workFolder) {
    return DispCalendar(calendar, B, W, H, readWallpaperCalendarSettings(settingsFile),
                        QDate::currentDate(), workFolder);
}

} // namespace skyloom::calendar
