#pragma once
// Runs the unattended wallpaper work (" /wall", " /kalendar") off the
// user-interface thread, so that the "please wait" notice costs nothing when
// the work is quick: the notice appears only once the work has taken
// `delay`, and goes when it ends. Meanwhile the user-interface thread keeps
// its event loop, shows the notice and the job's message boxes.

#include "wallpaper/WallpaperSetter.h"

#include <chrono>
#include <functional>

namespace skyloom::config {

/// The notice's delay of the wallpaper modes.
inline constexpr std::chrono::milliseconds kWallpaperNoticeDelay{400};

/// Runs `work` on a thread of its own and returns its outcome; shows
/// frmPleaseWait while it runs, from `delay` on. Call on the user-interface
/// thread of a QApplication. `meanwhile`, when given, runs on that thread
/// once the work has started (work that may as well be done there, such as
/// loading fonts). `noticeShown`, when given, is set to whether the notice
/// was shown.
wallpaper::Outcome runWithWallpaperNotice(const std::function<wallpaper::Outcome()>& work,
                                          std::chrono::milliseconds delay,
                                          const std::function<void()>& meanwhile = {},
                                          bool* noticeShown = nullptr);

} // namespace skyloom::config
