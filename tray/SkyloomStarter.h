#pragma once
// Starts the skyloom program with one of the switches that make it change
// the wallpaper (" /wall"), refresh the wallpaper's calendar (" /kalendar")
// or open its Wallpaper settings ("/-ConfigWall"). The program is the
// "Skyloom.scr" link in the system folder, or, when that is missing, the
// "skyloom" beside this program. It is started detached with an argument
// vector (never through a shell) and not waited for.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skyloom::tray {

inline constexpr const char* kSwitchWall = "/wall";
inline constexpr const char* kSwitchKalendar = "/kalendar";
inline constexpr const char* kSwitchConfigWall = "/-ConfigWall";

/// The program to start: `windowsDir`/Skyloom.scr when it leads to an
/// executable file, else `besideDir`/skyloom.
std::string skyloomProgram(const std::string& windowsDir, const std::string& besideDir);

class SkyloomStarter {
public:
    /// Starts `program` with `args`; true when it started, else false with
    /// a reason in `error`.
    using Launcher = std::function<bool(const std::string& program,
                                        const std::vector<std::string>& args, std::string& error)>;

    /// `windowsDir` and `besideDir` as for skyloomProgram; `launcher` empty:
    /// the platform's detached start.
    SkyloomStarter(std::string windowsDir, std::string besideDir, Launcher launcher = {});

    /// Starts skyloom with `sw`. Returns a message for the user when it
    /// cannot be started and this failure has not been reported yet; later
    /// failures are only counted until a start succeeds again, so a schedule
    /// that retries every few seconds does not repeat the message.
    std::optional<std::string> start(const std::string& sw);

    bool lastStartFailed() const { return failing_; }

private:
    std::string windowsDir_;
    std::string besideDir_;
    Launcher launcher_;
    bool failing_ = false;
};

/// Starts a program detached from this one.
bool startDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string& error);

} // namespace skyloom::tray
