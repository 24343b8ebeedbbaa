#include "Startup.h"

#include "DateText.h"
#include "Profile.h"
#include "ProfileFile.h"

namespace skyloom {
namespace {

bool has(std::string_view line, std::string_view sw) {
    return line.find(sw) != std::string_view::npos;
}

} // namespace

std::string joinCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i)
            line += ' ';
        line += args[i];
    }
    return line;
}

StartMode chooseStartMode(std::string_view line) {
    if (has(line, "/s"))
        return StartMode::Saver;
    if (has(line, "/c"))
        return StartMode::ConfigFromProps;
    if (has(line, "/a"))
        return StartMode::ChangePassword;
    if (line.empty())
        return StartMode::Config;
    if (has(line, "/wall"))
        return StartMode::WallpaperNext;
    if (has(line, "/kalendar"))
        return StartMode::CalendarRefresh;
    if (has(line, "/-ConfigWall"))
        return StartMode::ConfigWallpaper;
    if (has(line, "/debug"))
        return StartMode::ConfigDebug;
    return StartMode::Exit;
}

bool isDebugCommandLine(std::string_view line) {
    return has(line, "/debug");
}

bool isSecondCopy(StartMode mode, bool programRunning, bool saverRunning) {
    if (mode == StartMode::Saver)
        return saverRunning;
    return programRunning || saverRunning;
}

std::string delayedChangeFor(std::string_view line) {
    if (has(line, "/wall"))
        return "WallPaper";
    if (has(line, "/kalendar"))
        return "Calendar";
    return {};
}

bool recordDelayedChange(const std::string& scrIni, const std::string& change) {
    // A calendar refresh keeps "LastChanged": the picture intervals count
    // from the last new picture, not from the last calendar.
    const char* key = change == "Calendar" ? kLastCalendarKey : kLastChangedKey;
    // Both keys in one rewrite, so the running copy never sees the request
    // without its time.
    if (resolveProfilePath(scrIni).empty())
        return WriteIniString("PrefsWP", key, currentDateText(), scrIni);
    return profile::update(resolveProfilePath(scrIni), [&](IniDocument& doc) {
        doc.set("PrefsWP", key, currentDateText());
        doc.set("PrefsWP", "DelayedChange", change);
        return true;
    });
}

std::string takeDelayedChange(const std::string& scrIni) {
    std::string path = resolveProfilePath(scrIni);
    if (path.empty())
        return ReadIniString("PrefsWP", "DelayedChange", "", scrIni);
    std::string taken;
    profile::update(path, [&](IniDocument& doc) {
        taken = doc.value("PrefsWP", "DelayedChange").value_or("");
        doc.set("PrefsWP", "DelayedChange", "");
        return true;
    });
    return taken;
}

std::string LoadWindowTitles(const std::string& programDir) {
    return ReadIniString("config", "ConfigWinTitle", "Screen Saver Configuration",
                         programDir + "config.ini");
}

} // namespace skyloom
