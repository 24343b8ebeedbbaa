#pragma once
// The month calendar over the saver's pictures and burnt into the wallpaper.
// Both put a darkened, translucent black panel behind the calendar so its
// white text reads on any picture, then draw the calendar on it.

#include "calendar/CalendarClass.h"
#include "calendar/CalendarSettings.h"
#include "graphics/rasterkit/Rasterkit.h"

#include <QDate>
#include <QImage>
#include <QRect>
#include <QSize>
#include <string>

namespace skyloom::calendar {

/// The calendar's frame on a picture: GetBounds's nLeft, nTop, nWidth, nHeight.
struct CalendarFrame {
    int nLeft = 20;
    int nTop = 20;
    int nWidth = 0;
    int nHeight = 0;
    QRect rect() const { return {nLeft, nTop, nWidth, nHeight}; }
};

/// Darkens the frame in a picture: 4 × 4 tiles of nearest(nWidth / 4) ×
/// nearest(nHeight / 4) pixels of black blended at translucency 33, from the
/// frame's top-left corner (rounding may leave them up to 2 pixels short of
/// or beyond the right and bottom edges), cut to `clip` when it is valid.
/// False when the frame is too small for a tile.
bool darkenPanel(QImage& picture, const CalendarFrame& frame, const QRect& clip = {});

/// Where the saver's calendar goes on a display of `display` size, for the
/// calendar's m_Pos, m_Size and date (DispCalender sets them from the settings). With
/// bStretch2Fit the frame is taken on the whole display; otherwise on the
/// picture now on screen (`picture`, centred on the display), so that it
/// keeps its margins inside the picture (inside the display where the picture
/// is larger). Empty frame (nWidth 0) without a date.
CalendarFrame saverFrame(CalendarClass& calendar, const SaverCalendarSettings& settings,
                         QSize display, QSize picture);

/// The saver's calendar: darkens the frame on the canvas (the saver's screen
/// canvas, device pixels) and draws the calendar for `today` over it. Call it
/// after each picture and its title are on screen, except on a set's title
/// page, with the settings the saver runs with (never the file's: a preview
/// runs with settings that are not saved). `picture` is the size of the
/// picture on screen (used when pictures are not stretched). The calendar
/// object is the saver's own, kept for the window's life. True when a
/// calendar was drawn (the canvas then needs repainting); `drawn`, when
/// given, then receives the frame on the canvas.
bool DispCalender(CalendarClass& calendar, QImage& canvas, const SaverCalendarSettings& settings,
                  QSize picture, const QDate& today, QRect* drawn = nullptr);

/// The wallpaper's calendar, burnt into the picture in work buffer B of
/// W × H pixels: the frame is darkened, then the calendar (drawn on a
/// pure-green surface of the frame's size, green being the key colour) is
/// copied on it without its green, so only the panel, the shadow and the
/// text change the picture. With `workFolder` the calendar picture is also
/// written there as "cal.bmp" and read back from it. Call it on the
/// finished wallpaper picture before the layer is blended in. `visible`,
/// when valid, is the part of the picture the screen shows (a picture
/// larger than the screen, shown centred): the calendar is placed and sized
/// inside it instead of the whole picture. True when a calendar was drawn.
bool DispCalendar(CalendarClass& calendar, rasterkit::Handle B, int W, int H,
                  const WallpaperCalendarSettings& settings, const QDate& today,
                  const std::string& workFolder = {}, const QRect& visible = {});
/// The same with [CalendarWP] read from the settings file now, and today's date.
bool DispCalendar(CalendarClass& calendar, rasterkit::Handle B, int W, int H,
                  const std::string& settingsFile, const std::string& workFolder = {});

/// Name of the calendar picture in the work folder.
inline constexpr const char* kCalendarFileName = "cal.bmp";

} // namespace skyloom::calendar
