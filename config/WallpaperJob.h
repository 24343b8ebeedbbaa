#pragma once
// The wallpaper work of the configuration, without widgets: the next
// picture, the calendar of a new day and the Wallpaper page applied. The
// dialog delegates to it; " /wall" and " /kalendar" run it alone.

#include "platform/Monitors.h"
#include "wallpaper/WallpaperSetter.h"

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace skyloom::config {

class ConfigSession;

/// Who asks for a wallpaper: the Wallpaper page applied, or one of the
/// unattended runs (a new picture, the calendar of a new day).
enum class WallpaperRun { Apply, NextPicture, CalendarRefresh };

class WallpaperJob {
    // The texts keep the dialog's translation context, where they have always been.
    Q_DECLARE_TR_FUNCTIONS(skyloom::config::frmMoonfield)
public:
    explicit WallpaperJob(ConfigSession& session);
    ~WallpaperJob();
    WallpaperJob(const WallpaperJob&) = delete;
    WallpaperJob& operator=(const WallpaperJob&) = delete;

    /// Picks the next wallpaper picture (never the one on show when there
    /// is another) and sets it.
    wallpaper::Outcome NextWallpaperImage();
    /// Makes the wallpaper for the Wallpaper page and records its settings.
    /// When the page says Off, only an Apply asks whether to take the
    /// wallpaper away; an unattended run then does nothing. A picture change
    /// records "LastChanged", a calendar refresh "LastCalendar". On failure
    /// the reason is in the outcome (and the user has been told); nothing
    /// is recorded then.
    wallpaper::Outcome SetWallpaper(WallpaperRun run = WallpaperRun::Apply);
    /// Renders the current wallpaper again (for a new day's calendar).
    wallpaper::Outcome SetCalendar();
    /// The renderer and the desktop's backend, made on first use.
    wallpaper::WallpaperSetter& wallpaperSetter();

    /// Called when NextWallpaperImage has picked a picture, before it is
    /// set (the dialog shows the new choice in its list).
    std::function<void()> picturePicked;

    /// The desktop's monitors (tests hand in their own).
    std::function<std::vector<platform::Monitor>()> monitorList = platform::listMonitors;

private:
    wallpaper::RenderRequest renderRequest() const;
    /// The monitors of the primary's X screen, when there are several, each
    /// with its own picture when the page says "perScreen".
    void addMonitors(wallpaper::RenderRequest& request) const;
    /// The X screens beside the primary's (the root window backend only).
    void setOtherScreens(const wallpaper::RenderRequest& first);
    /// A picture and its set folder.
    using Picture = std::pair<std::string, std::string>;
    /// With "perScreen", `count` further pictures for the monitors after the
    /// primary, the same for the same primary picture; else none.
    std::vector<Picture> otherPictures(std::size_t count) const;

    ConfigSession& session_;
    std::mt19937 random_{std::random_device{}()};
    std::unique_ptr<wallpaper::WallpaperSetter> setter_;
};

} // namespace skyloom::config
