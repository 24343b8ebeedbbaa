// The desktops that are told through their own settings tools.

#include "DesktopBackend.h"

#include "common/Log.h"

#include <chrono>
#include <fstream>
#include <sstream>

namespace skyloom::platform::wallpaper {

namespace {

InstallResult success() {
    return {true, {}};
}

InstallResult failure(const Command& command, const CommandResult& result) {
    return {false, "\"" + command.front() + "\" " + result.describe()};
}

// Runs the commands in order; the first that fails ends the run.
InstallResult runAll(CommandRunner& runner, const std::vector<Command>& commands) {
    for (const auto& command : commands) {
        const CommandResult result = runner.run(command);
        if (!result.ok())
            return failure(command, result);
    }
    return success();
}

// GNOME, Cinnamon and MATE: keys of a gsettings schema.
class GSettingsBackend : public DesktopBackend {
public:
    GSettingsBackend(BackendKind kind, CommandRunner& runner) : kind_(kind), runner_(runner) {}
    BackendKind kind() const override { return kind_; }

    InstallResult install(const WallpaperPicture& picture) override {
        const std::string options = picture.fit ? "zoom" : "centered";
        return runAll(runner_, commands(picture.bmpPath, options));
    }
    InstallResult remove() override { return runAll(runner_, commands({}, "none")); }

private:
    std::vector<Command> commands(const std::string& path, const std::string& options) const {
        const auto set = [](const char* schema, const char* key, const std::string& value) {
            return Command{"gsettings", "set", schema, key, value};
        };
        const std::string uri = path.empty() ? std::string() : fileUri(path);
        switch (kind_) {
        case BackendKind::Mate:
            // MATE keeps a plain path, not a URI.
            return {set("org.mate.background", "picture-filename", path),
                    set("org.mate.background", "picture-options", options)};
        case BackendKind::Cinnamon:
            return {set("org.cinnamon.desktop.background", "picture-uri", uri),
                    set("org.cinnamon.desktop.background", "picture-options", options)};
        default:
            // GNOME 42 and later show picture-uri-dark in the dark style:
            // both keys, or the wallpaper seems not to change.
            return {set("org.gnome.desktop.background", "picture-uri", uri),
                    set("org.gnome.desktop.background", "picture-uri-dark", uri),
                    set("org.gnome.desktop.background", "picture-options", options)};
        }
    }

    BackendKind kind_;
    CommandRunner& runner_;
};

// Xfce: one "last-image" property per monitor and workspace.
class XfceBackend : public DesktopBackend {
public:
    explicit XfceBackend(CommandRunner& runner) : runner_(runner) {}
    BackendKind kind() const override { return BackendKind::Xfce; }
    InstallResult install(const WallpaperPicture& picture) override {
        return setAll(picture.bmpPath);
    }
    InstallResult remove() override { return setAll({}); }

private:
    InstallResult setAll(const std::string& value) {
        const Command list{"xfconf-query", "-c", "xfce4-desktop", "-l", "-p", "/backdrop"};
        const CommandResult listed = runner_.run(list);
        if (!listed.ok())
            return failure(list, listed);
        // Every .../monitorNAME/workspaceN/last-image; the monitors and
        // workspaces whose folder exists without it get the property created.
        std::vector<std::string> properties;
        std::vector<std::string> missing;
        std::istringstream lines(listed.out);
        for (std::string line; std::getline(lines, line);) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.pop_back();
            const auto workspace = line.find("/workspace");
            if (line.rfind("/backdrop/", 0) != 0 || line.find("/monitor") == std::string::npos ||
                workspace == std::string::npos)
                continue;
            const auto end = line.find('/', workspace + 1);
            const std::string folder = line.substr(0, end);
            const std::string property = folder + "/last-image";
            if (line == property)
                properties.push_back(property);
            else if (std::find(missing.begin(), missing.end(), property) == missing.end())
                missing.push_back(property);
        }
        for (const auto& p : properties)
            std::erase(missing, p);
        if (properties.empty() && missing.empty())
            return {false, "Xfce lists no monitor and workspace under /backdrop"};
        std::vector<Command> commands;
        for (const auto& p : properties)
            commands.push_back({"xfconf-query", "-c", "xfce4-desktop", "-p", p, "-s", value});
        for (const auto& p : missing)
            commands.push_back({"xfconf-query", "-c", "xfce4-desktop", "-p", p, "-n", "-t",
                                "string", "-s", value});
        return runAll(runner_, commands);
    }

    CommandRunner& runner_;
};

// Escapes text for a single-quoted JavaScript string.
std::string jsString(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\\' || c == '\'')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20)
            continue;
        out += c;
    }
    return out + "'";
}

// KDE Plasma: its own command where installed, else the shell's scripting
// call on every desktop.
class KdeBackend : public DesktopBackend {
public:
    explicit KdeBackend(CommandRunner& runner) : runner_(runner) {}
    BackendKind kind() const override { return BackendKind::Kde; }
    bool wantsPng() const override { return true; }
    InstallResult install(const WallpaperPicture& picture) override {
        const std::string& file = picture.pngPath.empty() ? picture.bmpPath : picture.pngPath;
        if (runner_.available("plasma-apply-wallpaperimage"))
            return runAll(runner_, {{"plasma-apply-wallpaperimage", file}});
        return runAll(runner_, {script(fileUri(file))});
    }
    InstallResult remove() override { return runAll(runner_, {script({})}); }

    static Command script(const std::string& url) {
        const std::string js =
            "var all = desktops(); for (var i = 0; i < all.length; i++) { var d = all[i]; "
            "d.wallpaperPlugin = 'org.kde.image'; "
            "d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General']; "
            "d.writeConfig('Image', " +
            jsString(url) + "); }";
        return {"dbus-send",     "--session",
                "--print-reply", "--dest=org.kde.plasmashell",
                "/PlasmaShell",  "org.kde.PlasmaShell.evaluateScript",
                "string:" + js};
    }

private:
    CommandRunner& runner_;
};

class LxqtBackend : public DesktopBackend {
public:
    explicit LxqtBackend(CommandRunner& runner) : runner_(runner) {}
    BackendKind kind() const override { return BackendKind::Lxqt; }
    InstallResult install(const WallpaperPicture& picture) override {
        return runAll(runner_, {{"pcmanfm-qt", "--set-wallpaper", picture.bmpPath}});
    }
    // The "color" mode shows the background colour without a picture.
    InstallResult remove() override {
        return runAll(runner_, {{"pcmanfm-qt", "--wallpaper-mode=color"}});
    }

private:
    CommandRunner& runner_;
};

// Sway and other wlroots compositors: swaybg draws the background for as
// long as it runs and has no way to be told of a new picture. A new one is
// started, and the previous one stopped a second later, when the new one
// covers the screen (stopping it first would show grey in between).
class SwayBackend : public DesktopBackend {
public:
    SwayBackend(CommandRunner& runner, std::string stateDir)
        : runner_(runner), pidFile_(std::move(stateDir) + "/swaybg.pid") {}
    BackendKind kind() const override { return BackendKind::Sway; }
    bool wantsPng() const override { return true; }

    InstallResult install(const WallpaperPicture& picture) override {
        const std::string& file = picture.pngPath.empty() ? picture.bmpPath : picture.pngPath;
        const Command command{"swaybg", "-o", "*", "-i", file, "-m", "fill"};
        const std::int64_t previous = readPid();
        const std::int64_t pid = runner_.startDetached(command);
        if (pid <= 0)
            return {false, "\"swaybg\" could not be started"};
        runner_.pause(std::chrono::seconds(1));
        if (!runner_.running(pid, "swaybg"))
            return {false, "\"swaybg\" ended at once (is this a wlroots compositor?)"};
        writePid(pid);
        if (previous > 0 && previous != pid && runner_.running(previous, "swaybg"))
            runner_.stop(previous);
        return success();
    }
    InstallResult remove() override {
        const std::int64_t previous = readPid();
        if (previous > 0 && runner_.running(previous, "swaybg"))
            runner_.stop(previous);
        writePid(0);
        return success();
    }

private:
    std::int64_t readPid() const {
        std::ifstream in(pidFile_);
        std::int64_t pid = 0;
        in >> pid;
        return in ? pid : 0;
    }
    void writePid(std::int64_t pid) const {
        std::ofstream out(pidFile_, std::ios::trunc);
        out << pid << "\n";
        if (!out)
            logWarning("wallpaper", "could not record the swaybg process in " + pidFile_);
    }

    CommandRunner& runner_;
    std::string pidFile_;
};

// No desktop to tell: the picture file is the result.
class FileBackend : public DesktopBackend {
public:
    BackendKind kind() const override { return BackendKind::File; }
    InstallResult install(const WallpaperPicture& picture) override {
        return {true, "The wallpaper is in " + picture.bmpPath};
    }
    InstallResult remove() override { return success(); }
};

} // namespace

std::unique_ptr<DesktopBackend> makeBackend(BackendKind kind, CommandRunner& runner,
                                            const std::string& stateDir) {
    switch (kind) {
    case BackendKind::Gnome:
    case BackendKind::Cinnamon:
    case BackendKind::Mate:
        return std::make_unique<GSettingsBackend>(kind, runner);
    case BackendKind::Xfce:
        return std::make_unique<XfceBackend>(runner);
    case BackendKind::Kde:
        return std::make_unique<KdeBackend>(runner);
    case BackendKind::Lxqt:
        return std::make_unique<LxqtBackend>(runner);
    case BackendKind::Sway:
        return std::make_unique<SwayBackend>(runner, stateDir);
    case BackendKind::X11Root:
        return makeX11RootBackend();
    case BackendKind::File:
        break;
    }
    return std::make_unique<FileBackend>();
}

} // namespace skyloom::platform::wallpaper
