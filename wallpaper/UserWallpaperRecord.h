#pragma once
// The record of the desktop's own wallpaper: what each desktop showed before
// Skyloom first changed it, kept until the user takes Skyloom's wallpaper
// away again. One section per desktop (named as the backend), written once:
// a record that exists is never replaced, so a later change cannot record
// Skyloom's own picture in place of the user's.

#include "platform/wallpaper/DesktopBackend.h"

#include <string>

namespace skyloom::wallpaper {

/// The record's file name in the user's configuration folder.
inline constexpr const char* kUserWallpaperFileName = "UserWallpaper.ini";

class UserWallpaperRecord {
public:
    enum class State {
        None,    ///< nothing recorded for that desktop
        Present, ///< a complete record
        Damaged, ///< a record that cannot be read back (message says why)
    };
    struct Loaded {
        State state = State::None;
        platform::wallpaper::SavedWallpaper wallpaper;
        std::string message;
    };

    explicit UserWallpaperRecord(std::string path);
    /// $XDG_CONFIG_HOME/skyloom/UserWallpaper.ini.
    static std::string defaultPath();
    const std::string& path() const { return path_; }

    Loaded load(const std::string& backend) const;
    /// Records `saved` unless a record of its desktop exists (that one is
    /// kept as it is). True when a record of the desktop is in place
    /// afterwards; false with the reason in `error` when it could not be
    /// written.
    bool keep(const platform::wallpaper::SavedWallpaper& saved, std::string* error = nullptr);
    /// Removes the record of one desktop.
    bool forget(const std::string& backend, std::string* error = nullptr);

private:
    std::string path_;
};

} // namespace skyloom::wallpaper
