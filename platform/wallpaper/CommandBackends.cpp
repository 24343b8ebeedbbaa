// The desktops that are told through their own settings tools.

#include "DesktopBackend.h"

#include "common/Log.h"
#include "common/ProfileFile.h"
#include "platform/Locations.h"

#include <algorithm>
#include <functional>
#include <sstream>
#include <string_view>

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

// A command's output without its final line end.
std::string printed(const CommandResult& result) {
    std::string out = result.out;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

ReadResult readFailure(const Command& command, const CommandResult& result) {
    return {false, "\"" + command.front() + "\" " + result.describe(), {}};
}

ReadResult readSuccess(BackendKind kind, std::vector<SavedSetting> settings) {
    return {true, {}, {backendName(kind), true, std::move(settings)}};
}

// The value recorded under `key`, when there is one.
const SavedSetting* findSetting(const SavedWallpaper& saved, const std::string& key) {
    for (const auto& setting : saved.settings)
        if (setting.key == key)
            return &setting;
    return nullptr;
}

// GNOME, Cinnamon and MATE: keys of a gsettings schema.
class GSettingsBackend : public DesktopBackend {
public:
    GSettingsBackend(BackendKind kind, CommandRunner& runner) : kind_(kind), runner_(runner) {}
    BackendKind kind() const override { return kind_; }

    InstallResult install(const WallpaperPicture& picture) override {
        // A picture composed for several monitors is spread over all of them.
        const std::string options = picture.monitors.size() >= 2 ? "spanned"
                                    : picture.fit                ? "zoom"
                                                                 : "centered";
        return runAll(runner_, commands(picture.bmpPath, options));
    }
    InstallResult remove() override { return runAll(runner_, commands({}, "none")); }

    // The keys install sets, as "schema/key", read in the form gsettings
    // prints a value (GVariant text), which "gsettings set" takes back.
    ReadResult current() override {
        std::vector<SavedSetting> settings;
        for (const auto& [schema, key] : keys()) {
            const Command get{"gsettings", "get", schema, key};
            const CommandResult result = runner_.run(get);
            if (!result.ok())
                return readFailure(get, result);
            settings.push_back({schema + "/" + key, printed(result)});
        }
        return readSuccess(kind_, std::move(settings));
    }

    // Only the keys install changes are written back: a record naming other
    // schemas or keys does not reach the desktop's settings.
    InstallResult restore(const SavedWallpaper& saved) override {
        if (!saved.known)
            return remove();
        std::vector<Command> commands;
        for (const auto& [schema, key] : keys())
            if (const SavedSetting* setting = findSetting(saved, schema + "/" + key);
                setting && setting->value)
                commands.push_back({"gsettings", "set", schema, key, *setting->value});
        if (commands.empty())
            return {false, "the record holds none of the desktop's wallpaper keys"};
        return runAll(runner_, commands);
    }

private:
    std::vector<std::pair<std::string, std::string>> keys() const {
        switch (kind_) {
        case BackendKind::Mate:
            return {{"org.mate.background", "picture-filename"},
                    {"org.mate.background", "picture-options"}};
        case BackendKind::Cinnamon:
            return {{"org.cinnamon.desktop.background", "picture-uri"},
                    {"org.cinnamon.desktop.background", "picture-options"}};
        default:
            return {{"org.gnome.desktop.background", "picture-uri"},
                    {"org.gnome.desktop.background", "picture-uri-dark"},
                    {"org.gnome.desktop.background", "picture-options"}};
        }
    }

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

// Xfce's desktop properties under /backdrop, as "xfconf-query -l" lists them.
struct Backdrop {
    std::vector<std::string> images;  ///< existing .../workspaceN/last-image
    std::vector<std::string> missing; ///< workspace folders without one
    std::vector<std::string> styles;  ///< existing .../workspaceN/image-style
    bool has(const std::string& property) const {
        return std::find(images.begin(), images.end(), property) != images.end() ||
               std::find(styles.begin(), styles.end(), property) != styles.end();
    }
};

Backdrop parseBackdrop(const std::string& listing) {
    Backdrop backdrop;
    std::istringstream lines(listing);
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
            backdrop.images.push_back(property);
        else if (std::find(backdrop.missing.begin(), backdrop.missing.end(), property) ==
                 backdrop.missing.end())
            backdrop.missing.push_back(property);
        if (line == folder + "/image-style")
            backdrop.styles.push_back(line);
    }
    for (const auto& p : backdrop.images)
        std::erase(backdrop.missing, p);
    return backdrop;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Xfce: one "last-image" property per monitor and workspace.
class XfceBackend : public DesktopBackend {
public:
    explicit XfceBackend(CommandRunner& runner) : runner_(runner) {}
    BackendKind kind() const override { return BackendKind::Xfce; }
    bool wantsMonitorParts() const override { return true; }
    InstallResult install(const WallpaperPicture& picture) override {
        if (picture.monitors.size() >= 2)
            // Each monitor's own part, which is its size already.
            return setAll([&](const std::string& property) { return partFor(picture, property); },
                          kZoomed);
        return setAll([&](const std::string&) { return picture.bmpPath; },
                      picture.fit ? kZoomed : kCentred);
    }
    InstallResult remove() override {
        return setAll([](const std::string&) { return std::string(); }, -1);
    }

    // Every last-image (one that install would create is recorded as
    // absent) and the image-style beside it.
    ReadResult current() override {
        const CommandResult listed = runner_.run(kList);
        if (!listed.ok())
            return readFailure(kList, listed);
        const Backdrop backdrop = parseBackdrop(listed.out);
        if (backdrop.images.empty() && backdrop.missing.empty())
            return {false, "Xfce lists no monitor and workspace under /backdrop", {}};
        std::vector<SavedSetting> settings;
        std::vector<std::string> existing = backdrop.images;
        existing.insert(existing.end(), backdrop.styles.begin(), backdrop.styles.end());
        for (const auto& property : existing) {
            const Command get{"xfconf-query", "-c", kChannel, "-p", property};
            const CommandResult result = runner_.run(get);
            if (!result.ok())
                return readFailure(get, result);
            settings.push_back({property, printed(result)});
        }
        for (const auto& property : backdrop.missing)
            settings.push_back({property, std::nullopt});
        return readSuccess(BackendKind::Xfce, std::move(settings));
    }

    // Writes back the recorded properties of the monitors still connected,
    // creates those that have gone and removes the ones that were absent.
    InstallResult restore(const SavedWallpaper& saved) override {
        if (!saved.known)
            return remove();
        const CommandResult listed = runner_.run(kList);
        if (!listed.ok())
            return failure(kList, listed);
        const Backdrop now = parseBackdrop(listed.out);
        std::vector<Command> commands;
        for (const auto& setting : saved.settings) {
            const std::string& p = setting.key;
            const bool image = endsWith(p, "/last-image");
            if (p.rfind("/backdrop/", 0) != 0 || (!image && !endsWith(p, "/image-style")))
                continue;
            if (!setting.value) {
                if (now.has(p))
                    commands.push_back({"xfconf-query", "-c", kChannel, "-p", p, "-r"});
            } else if (now.has(p)) {
                commands.push_back({"xfconf-query", "-c", kChannel, "-p", p, "-s", *setting.value});
            } else {
                commands.push_back({"xfconf-query", "-c", kChannel, "-p", p, "-n", "-t",
                                    image ? "string" : "int", "-s", *setting.value});
            }
        }
        return runAll(runner_, commands);
    }

private:
    static constexpr const char* kChannel = "xfce4-desktop";
    inline static const Command kList{"xfconf-query", "-c", kChannel, "-l", "-p", "/backdrop"};

    // image-style values: a fitted picture fills the screen either way; one at
    // its own size is centred, not scaled.
    static constexpr int kCentred = 1;
    static constexpr int kZoomed = 5;

    // The part of the monitor a property belongs to: ".../monitorNAME/..."
    // by the monitor's name, ".../monitorN/..." (older Xfce) by its number;
    // a monitor not connected now gets the primary's part.
    static std::string partFor(const WallpaperPicture& picture, const std::string& property) {
        const std::string tag = "/monitor";
        const auto at = property.find(tag);
        const auto end = at == std::string::npos ? at : property.find('/', at + tag.size());
        const std::string name = end == std::string::npos
                                     ? std::string()
                                     : property.substr(at + tag.size(), end - at - tag.size());
        for (const MonitorPicture& m : picture.monitors)
            if (m.name == name)
                return m.bmpPath;
        if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos &&
            name.size() < 3) {
            const std::size_t n = std::stoul(name);
            if (n < picture.monitors.size())
                return picture.monitors[n].bmpPath;
        }
        return picture.monitors.front().bmpPath;
    }

    // Sets every last-image to the value for its property and, with a
    // `style` of 0 or more, the image-style beside it.
    InstallResult setAll(const std::function<std::string(const std::string&)>& valueFor,
                         int style) {
        const CommandResult listed = runner_.run(kList);
        if (!listed.ok())
            return failure(kList, listed);
        // Every .../monitorNAME/workspaceN/last-image; the monitors and
        // workspaces whose folder exists without it get the property created.
        const Backdrop backdrop = parseBackdrop(listed.out);
        if (backdrop.images.empty() && backdrop.missing.empty())
            return {false, "Xfce lists no monitor and workspace under /backdrop"};
        std::vector<Command> commands;
        for (const auto& p : backdrop.images)
            commands.push_back({"xfconf-query", "-c", kChannel, "-p", p, "-s", valueFor(p)});
        for (const auto& p : backdrop.missing)
            commands.push_back(
                {"xfconf-query", "-c", kChannel, "-p", p, "-n", "-t", "string", "-s", valueFor(p)});
        if (style >= 0) {
            std::vector<std::string> images = backdrop.images;
            images.insert(images.end(), backdrop.missing.begin(), backdrop.missing.end());
            for (const auto& image : images) {
                const std::string p = image.substr(0, image.rfind('/')) + "/image-style";
                Command command{"xfconf-query", "-c", kChannel, "-p", p};
                if (!backdrop.has(p))
                    command.insert(command.end(), {"-n", "-t", "int"});
                command.insert(command.end(), {"-s", std::to_string(style)});
                commands.push_back(std::move(command));
            }
        }
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
    bool wantsMonitorParts() const override { return true; }
    InstallResult install(const WallpaperPicture& picture) override {
        if (picture.monitors.size() >= 2)
            return runAll(runner_, {perScreenScript(picture)});
        const std::string& file = picture.pngPath.empty() ? picture.bmpPath : picture.pngPath;
        // plasma-apply-wallpaperimage keeps the desktop's fill mode, which
        // scales; a picture at its own size needs the script to say "pad".
        if (picture.fit && runner_.available("plasma-apply-wallpaperimage"))
            return runAll(runner_, {{"plasma-apply-wallpaperimage", file}});
        return runAll(runner_, {script(fileUri(file), picture.fit ? kCrop : kPad)});
    }
    InstallResult remove() override { return runAll(runner_, {script({}, -1)}); }

    // Each desktop's wallpaper plugin and image, as "desktopN/plugin" and
    // "desktopN/image". The script prints one marked line per desktop into
    // the call's reply.
    ReadResult current() override {
        const Command read =
            call("var all = desktops(); for (var i = 0; i < all.length; i++) { var d = all[i]; "
                 "d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General']; "
                 "print('" +
                 std::string(kMark) +
                 "' + i + '\\t' + d.wallpaperPlugin + '\\t' + "
                 "(d.readConfig('Image', '') || '') + '\\t' + "
                 "(d.readConfig('FillMode', '') || '') + '\\t" +
                 kEnd + "\\n'); }");
        const CommandResult result = runner_.run(read);
        if (!result.ok())
            return readFailure(read, result);
        std::vector<SavedSetting> settings;
        for (std::size_t at = result.out.find(kMark); at != std::string::npos;
             at = result.out.find(kMark, at)) {
            at += std::string_view(kMark).size();
            const std::size_t end = result.out.find(std::string("\t") + kEnd, at);
            if (end == std::string::npos)
                break;
            const std::string line = result.out.substr(at, end - at);
            const std::size_t tab1 = line.find('\t');
            const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
            if (tab2 == std::string::npos)
                continue;
            // The fill mode comes last; replies of older records end at the image.
            const std::size_t tab3 = line.find('\t', tab2 + 1);
            const std::string desktop = "desktop" + line.substr(0, tab1);
            settings.push_back({desktop + "/plugin", line.substr(tab1 + 1, tab2 - tab1 - 1)});
            settings.push_back({desktop + "/image", line.substr(tab2 + 1, tab3 - tab2 - 1)});
            if (tab3 != std::string::npos)
                settings.push_back({desktop + "/fillmode", line.substr(tab3 + 1)});
        }
        if (settings.empty())
            return {false, "Plasma did not tell the wallpaper of any desktop", {}};
        return readSuccess(BackendKind::Kde, std::move(settings));
    }

    InstallResult restore(const SavedWallpaper& saved) override {
        if (!saved.known)
            return remove();
        std::string js = "var all = desktops(); ";
        bool any = false;
        for (int i = 0; i < 1000; ++i) {
            const std::string desktop = "desktop" + std::to_string(i);
            const SavedSetting* plugin = findSetting(saved, desktop + "/plugin");
            const SavedSetting* image = findSetting(saved, desktop + "/image");
            if (!plugin && !image)
                break;
            any = true;
            const std::string d = "all[" + std::to_string(i) + "]";
            js += "if (all.length > " + std::to_string(i) + ") { ";
            // The plugin first: the image goes into the image plugin's own
            // group whatever plugin was in use.
            if (plugin && plugin->value && !plugin->value->empty())
                js += d + ".wallpaperPlugin = " + jsString(*plugin->value) + "; ";
            if (image && image->value)
                js += d + ".currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General']; " + d +
                      ".writeConfig('Image', " + jsString(*image->value) + "); ";
            // A picture not fitted set the fill mode too; one never set was
            // the image plugin's default.
            const SavedSetting* fill = findSetting(saved, desktop + "/fillmode");
            if (image && image->value && fill && fill->value) {
                const std::string& mode = *fill->value;
                const bool number = !mode.empty() && mode.size() < 3 &&
                                    mode.find_first_not_of("0123456789") == std::string::npos;
                js += d + ".writeConfig('FillMode', " + (number ? mode : std::to_string(kCrop)) +
                      "); ";
            }
            js += "} ";
        }
        if (!any)
            return {false, "the record holds no Plasma desktop"};
        return runAll(runner_, {call(js)});
    }

    // The image plugin's FillMode: 2 scales to cover the screen, 6 centres
    // the picture at its own size.
    static constexpr int kCrop = 2;
    static constexpr int kPad = 6;

    // Sets the image on every desktop and, with a `fillMode` of 0 or more,
    // how it is scaled.
    static Command script(const std::string& url, int fillMode) {
        const std::string fill =
            fillMode >= 0 ? "d.writeConfig('FillMode', " + std::to_string(fillMode) + "); " : "";
        return call("var all = desktops(); for (var i = 0; i < all.length; i++) { var d = all[i]; "
                    "d.wallpaperPlugin = 'org.kde.image'; "
                    "d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General']; " +
                    fill + "d.writeConfig('Image', " + jsString(url) + "); }");
    }

    // Each screen's desktop containment gets its monitor's part (Plasma
    // numbers the screens from the primary, as the monitor list does; a
    // screen beyond the list gets the primary's part). The parts are their
    // monitors' size.
    static Command perScreenScript(const WallpaperPicture& picture) {
        std::string files = "[";
        for (const MonitorPicture& m : picture.monitors) {
            if (files.size() > 1)
                files += ", ";
            files += jsString(fileUri(m.pngPath.empty() ? m.bmpPath : m.pngPath));
        }
        files += "]";
        return call("var files = " + files +
                    "; var all = desktops(); for (var i = 0; i < all.length; i++) { "
                    "var d = all[i]; var f = d.screen >= 0 && d.screen < files.length ? "
                    "files[d.screen] : files[0]; d.wallpaperPlugin = 'org.kde.image'; "
                    "d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General']; "
                    "d.writeConfig('FillMode', " +
                    std::to_string(kCrop) + "); d.writeConfig('Image', f); }");
    }
    static Command call(const std::string& js) {
        return {"dbus-send",     "--session",
                "--print-reply", "--dest=org.kde.plasmashell",
                "/PlasmaShell",  "org.kde.PlasmaShell.evaluateScript",
                "string:" + js};
    }

private:
    static constexpr const char* kMark = "skyloom-desktop:";
    static constexpr const char* kEnd = ":end";
    CommandRunner& runner_;
};

class LxqtBackend : public DesktopBackend {
public:
    explicit LxqtBackend(CommandRunner& runner) : runner_(runner) {}
    BackendKind kind() const override { return BackendKind::Lxqt; }
    InstallResult install(const WallpaperPicture& picture) override {
        // It has no mode that spans monitors: a composed picture is stretched
        // over the whole desktop.
        const char* mode = picture.monitors.size() >= 2 ? "--wallpaper-mode=stretch"
                           : picture.fit                ? "--wallpaper-mode=zoom"
                                                        : "--wallpaper-mode=center";
        return runAll(runner_, {{"pcmanfm-qt", "--set-wallpaper", picture.bmpPath, mode}});
    }
    // The "color" mode shows the background colour without a picture.
    InstallResult remove() override {
        return runAll(runner_, {{"pcmanfm-qt", "--wallpaper-mode=color"}});
    }

    // pcmanfm-qt has no command that tells its wallpaper; its settings file
    // does ([Desktop] Wallpaper and WallpaperMode). Values in the file's
    // escaped forms are not guessed at: the record is then "unknown".
    ReadResult current() override {
        ReadResult result = DesktopBackend::current();
        const auto doc = profile::load(xdgConfigHome() + "/pcmanfm-qt/lxqt/settings.conf");
        const auto wallpaper = doc->value("Desktop", "Wallpaper");
        const auto mode = doc->value("Desktop", "WallpaperMode");
        const auto plain = [](const std::optional<std::string>& v) {
            return v && !v->empty() && v->find('\\') == std::string::npos && v->front() != '@';
        };
        if (!plain(wallpaper) || !plain(mode) || !knownMode(*mode))
            return result;
        result.wallpaper.known = true;
        result.wallpaper.settings = {{"Wallpaper", *wallpaper}, {"WallpaperMode", *mode}};
        return result;
    }

    InstallResult restore(const SavedWallpaper& saved) override {
        const SavedSetting* wallpaper = findSetting(saved, "Wallpaper");
        const SavedSetting* mode = findSetting(saved, "WallpaperMode");
        if (!saved.known || !wallpaper || !wallpaper->value || !mode || !mode->value ||
            !knownMode(*mode->value))
            return remove();
        return runAll(runner_, {{"pcmanfm-qt", "--set-wallpaper", *wallpaper->value,
                                 "--wallpaper-mode=" + *mode->value}});
    }

private:
    static bool knownMode(const std::string& mode) {
        for (const char* m : {"color", "stretch", "fit", "center", "tile", "zoom"})
            if (mode == m)
                return true;
        return false;
    }

    CommandRunner& runner_;
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
        return makeSwayBackend(runner, stateDir);
    case BackendKind::X11Root:
        return makeX11RootBackend();
    case BackendKind::File:
        break;
    }
    return std::make_unique<FileBackend>();
}

} // namespace skyloom::platform::wallpaper
