#pragma once
// Rendering the wallpaper and installing it on the desktop, or taking it
// away. The configuration form calls it for the Wallpaper page, the
// " /wall" and " /kalendar" start-up modes and Apply.

#include "wallpaper/UserWallpaperRecord.h"
#include "wallpaper/WallpaperRender.h"

#include "calendar/CalendarClass.h"
#include "platform/wallpaper/DesktopBackend.h"

#include <QtGlobal>

#include <memory>
#include <string>

namespace skyloom::wallpaper {

/// The message of every failure; the reason goes to stderr.
/// Translation context of the wallpaper messages the user sees.
inline constexpr const char* kMessageContext = "skyloom::wallpaper";
/// The message box text of a failed change (English; shown translated).
inline constexpr const char* kWallpaperError =
    QT_TRANSLATE_NOOP("skyloom::wallpaper", "An Error occured while setting the wall paper.");
/// The PNG copy for desktops that cannot show a BMP.
inline constexpr const char* kPngFileName = "Skyloom.png";
inline constexpr const char* kBmpFileName = "Skyloom.bmp";

struct Outcome {
    bool ok = false;
    std::string reason; ///< why not; or where the picture is (file backend)
};

/// How putting back the desktop's own wallpaper went.
enum class RestoreStatus {
    Restored,        ///< the recorded setting is back, the record removed
    NotKnown,        ///< the desktop could not be asked: Skyloom's picture was taken away
    NothingRecorded, ///< Skyloom has not changed this desktop's wallpaper (or it was restored)
    Damaged,         ///< the record cannot be read back; nothing was changed
    Failed,          ///< the desktop refused; the record is kept for another try
};

struct RestoreOutcome {
    RestoreStatus status = RestoreStatus::NothingRecorded;
    std::string message;
};

class WallpaperSetter {
public:
    /// With no backend, the one the session's environment names; with no
    /// record path, the record in the user's configuration folder.
    explicit WallpaperSetter(std::unique_ptr<platform::wallpaper::DesktopBackend> backend = {},
                             std::string recordPath = {});
    ~WallpaperSetter();
    WallpaperSetter(const WallpaperSetter&) = delete;
    WallpaperSetter& operator=(const WallpaperSetter&) = delete;

    /// Renders `request` (its outputPath names "Skyloom.bmp"; the PNG path
    /// is filled in when the desktop wants one) and installs it. Desktops
    /// told through their settings get it under a name that differs from
    /// the one of the render before ("Skyloom-a.bmp", "Skyloom-b.bmp"), so
    /// that they load it again.
    /// Before the first change of a desktop its own setting is recorded; no
    /// change is made when that cannot be done.
    Outcome SetWallpaper(RenderRequest request);
    /// Renders `request` for another X screen of the display and puts it on
    /// that screen's root window; nothing is recorded. Only the X root
    /// window backend has other screens (the others answer ok and do
    /// nothing).
    Outcome SetScreenWallpaper(const RenderRequest& request, int screenNumber);
    /// Takes Skyloom's wallpaper away: the desktop's own setting comes back
    /// when one was recorded, else the wallpaper "(none)".
    Outcome RemoveWallpaper();
    /// Puts the recorded setting back and removes the record.
    RestoreOutcome RestoreUserWallpaper();
    /// Tells the desktop that its settings changed (a no-op where the
    /// backend's own command already did).
    void UpdateWinIni() {}

    platform::wallpaper::DesktopBackend& backend() { return *backend_; }
    calendar::CalendarClass& calendar() { return calendar_; }

private:
    bool recordUserWallpaper(const RenderRequest& request, std::string& reason);

    std::unique_ptr<platform::wallpaper::ProcessRunner> runner_;
    std::unique_ptr<platform::wallpaper::DesktopBackend> backend_;
    calendar::CalendarClass calendar_;
    UserWallpaperRecord record_;
};

} // namespace skyloom::wallpaper
