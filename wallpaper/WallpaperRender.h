#pragma once
// Making the wallpaper picture: the picture of the set, a panorama cut to the
// reference display's proportions, fitted to the screen (smoothed when it
// was enlarged, its top four rows kept), the calendar and the layer burnt
// in, saved as "Skyloom.bmp" (8 bits per pixel on displays below 24).

#include "calendar/CalendarClass.h"
#include "calendar/CalendarSettings.h"

#include <QDate>
#include <QImage>
#include <QRect>
#include <QSize>

#include <string>
#include <vector>

namespace skyloom::wallpaper {

/// The part of a w × h picture that becomes the wallpaper. A picture panned
/// "LeftToRight"/"RightToLeft" is cut to the reference display's proportions
/// from `origin` across, "TopToBottom"/"BottomToTop" from `origin` down;
/// anything else is the whole picture. The cut is kept inside the picture:
/// an origin too near the end moves back, a cut wider or taller than the
/// picture is made as large as the picture.
QRect panoramaCut(QSize picture, const std::string& panDirection, int origin, QSize reference);

/// True when the target is larger than the picture in either direction
/// (the picture is then smoothed).
inline bool enlarged(QSize target, QSize picture) {
    return target.width() > picture.width() || target.height() > picture.height();
}

/// One monitor of a wallpaper composed for several.
struct MonitorPart {
    std::string name;         ///< the monitor's output name
    QRect geometry;           ///< device pixels, in its screen's root coordinates
    bool primary = false;     ///< the calendar goes into this one's part
    std::string pictureBase;  ///< its own picture ("": the request's)
    std::string setDirectory; ///< that picture's set folder
};

struct RenderRequest {
    std::string pictureBase;    ///< picture path without extension (+".jpg", +".nfo")
    std::string setDirectory;   ///< its set folder, ending in "/"
    QSize reference{1024, 768}; ///< reference display size
    QSize screen;               ///< screen size in pixels
    bool fit = false;           ///< "Size to fit screen"
    /// Fitting keeps proportions: the picture covers the screen when the
    /// shapes nearly agree, else it is fitted inside on black; a panorama is
    /// cut at the screen's shape. Off: stretched to the screen, distorting.
    bool keepAspect = true;
    int bitsPerPixel = 24; ///< the display's depth
    calendar::WallpaperCalendarSettings calendar;
    QDate today;
    std::string settingsFile; ///< ScreenSaver.ini ("WallpaperLastLayer")
    std::string workFolder;   ///< "cal.bmp", "sswpprep.bmp", "wp.jpg"
    std::string outputPath;   ///< ".../Skyloom.bmp"
    std::string pngPath;      ///< also a PNG of the same pixels here, when not empty
    std::string cacheFolder;  ///< keeps the decoded, fitted picture for the next render
    /// Two or more: the wallpaper covers the monitors' bounding box, one part
    /// per monitor, each fitted to its monitor as a whole screen would be
    /// (a panorama cut at the monitor's shape). Fewer: one screen of `screen`.
    std::vector<MonitorPart> monitors;
};

struct RenderResult {
    bool ok = false;
    std::string error; ///< why not
    QImage image;      ///< the finished 24-bit picture
    /// A composed wallpaper: where its top-left corner is in root
    /// coordinates, and each monitor's part in the picture (in the order of
    /// the request's monitors).
    QPoint origin;
    std::vector<QRect> parts;
};

/// The part of a wallpaper of `picture` size that a screen of `screen` size
/// shows when the desktop centres it without scaling: all of it when it is
/// no larger, else the centred screen-sized part. Invalid without a screen.
QRect visiblePart(QSize picture, QSize screen);

/// Renders and writes the wallpaper. The files are written under temporary
/// names and renamed into place, so a failed render leaves the previous
/// wallpaper as it was.
RenderResult renderWallpaper(const RenderRequest& request, calendar::CalendarClass& calendar);

/// $XDG_CACHE_HOME/skyloom (default ~/.cache/skyloom).
std::string defaultCacheFolder();

/// Names of the work files.
inline constexpr const char* kPrepFileName = "sswpprep.bmp";
inline constexpr const char* kJpegFileName = "wp.jpg";
inline constexpr const char* kCacheFileName = "wallpaper-source.raw";

} // namespace skyloom::wallpaper
