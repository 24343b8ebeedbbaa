// Sway and other wlroots compositors: swaybg draws the background for as
// long as it runs and has no way to be told of a new picture. A new one is
// started, and the previous one stopped a second later, when the new one
// covers the screen (stopping it first would show grey in between). Several
// monitors get one swaybg per output, each with its monitor's part.

#include "DesktopBackend.h"

#include "common/Log.h"

#include <algorithm>
#include <chrono>
#include <fstream>

namespace skyloom::platform::wallpaper {

namespace {

class SwayBackend : public DesktopBackend {
public:
    SwayBackend(CommandRunner& runner, std::string stateDir)
        : runner_(runner), pidFile_(std::move(stateDir) + "/swaybg.pid") {}
    BackendKind kind() const override { return BackendKind::Sway; }
    bool wantsPng() const override { return true; }
    bool wantsMonitorParts() const override { return true; }

    InstallResult install(const WallpaperPicture& picture) override {
        std::vector<Command> commands;
        const char* mode = picture.fit ? "fill" : "center";
        if (picture.monitors.size() >= 2) {
            // Each part is its monitor's size already.
            for (const MonitorPicture& m : picture.monitors)
                commands.push_back({"swaybg", "-o", m.name, "-i",
                                    m.pngPath.empty() ? m.bmpPath : m.pngPath, "-m", "fill"});
        } else {
            const std::string& file = picture.pngPath.empty() ? picture.bmpPath : picture.pngPath;
            commands.push_back({"swaybg", "-o", "*", "-i", file, "-m", mode});
        }
        const std::vector<std::int64_t> previous = readPids();
        std::vector<std::int64_t> started;
        for (const Command& command : commands) {
            const std::int64_t pid = runner_.startDetached(command);
            if (pid <= 0) {
                stopAll(started);
                return {false, "\"swaybg\" could not be started"};
            }
            started.push_back(pid);
        }
        runner_.pause(std::chrono::seconds(1));
        for (const std::int64_t pid : started)
            if (!runner_.running(pid, "swaybg")) {
                stopAll(started);
                return {false, "\"swaybg\" ended at once (is this a wlroots compositor?)"};
            }
        writePids(started);
        for (const std::int64_t pid : previous)
            if (std::find(started.begin(), started.end(), pid) == started.end())
                stopAll({pid});
        return {true, {}};
    }
    InstallResult remove() override {
        stopAll(readPids());
        writePids({});
        return {true, {}};
    }

private:
    void stopAll(const std::vector<std::int64_t>& pids) {
        for (const std::int64_t pid : pids)
            if (pid > 0 && runner_.running(pid, "swaybg"))
                runner_.stop(pid);
    }
    std::vector<std::int64_t> readPids() const {
        std::ifstream in(pidFile_);
        std::vector<std::int64_t> pids;
        for (std::int64_t pid = 0; in >> pid;)
            if (pid > 0)
                pids.push_back(pid);
        return pids;
    }
    void writePids(const std::vector<std::int64_t>& pids) const {
        std::ofstream out(pidFile_, std::ios::trunc);
        for (const std::int64_t pid : pids)
            out << pid << "\n";
        if (pids.empty())
            out << 0 << "\n";
        if (!out)
            logWarning("wallpaper", "could not record the swaybg processes in " + pidFile_);
    }

    CommandRunner& runner_;
    std::string pidFile_;
};

} // namespace

std::unique_ptr<DesktopBackend> makeSwayBackend(CommandRunner& runner,
                                                const std::string& stateDir) {
    return std::make_unique<SwayBackend>(runner, stateDir);
}

} // namespace skyloom::platform::wallpaper
