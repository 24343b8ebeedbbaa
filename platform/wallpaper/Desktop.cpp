#include "DesktopBackend.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace skyloom::platform::wallpaper {

namespace {

constexpr std::array<std::pair<BackendKind, const char*>, 9> kNames{{
    {BackendKind::Gnome, "gnome"},
    {BackendKind::Cinnamon, "cinnamon"},
    {BackendKind::Mate, "mate"},
    {BackendKind::Xfce, "xfce"},
    {BackendKind::Kde, "kde"},
    {BackendKind::Lxqt, "lxqt"},
    {BackendKind::Sway, "sway"},
    {BackendKind::X11Root, "x11root"},
    {BackendKind::File, "file"},
}};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// One desktop name as sessions spell it (XDG_CURRENT_DESKTOP entries,
// DESKTOP_SESSION values), already in lower case.
std::optional<BackendKind> fromDesktopName(const std::string& name) {
    if (name == "gnome" || name == "unity" || name == "budgie" || name == "budgie-desktop" ||
        name == "gnome-classic" || name == "gnome-flashback" || name == "ubuntu" ||
        name == "pantheon")
        return BackendKind::Gnome;
    if (name == "x-cinnamon" || name == "cinnamon")
        return BackendKind::Cinnamon;
    if (name == "mate")
        return BackendKind::Mate;
    if (name == "xfce" || name == "xfce4" || name == "xubuntu")
        return BackendKind::Xfce;
    if (name == "kde" || name == "plasma" || name == "plasmawayland" || name == "kde-plasma")
        return BackendKind::Kde;
    if (name == "lxqt")
        return BackendKind::Lxqt;
    if (name == "sway" || name == "wlroots" || name == "hyprland" || name == "river" ||
        name == "wayfire" || name == "labwc")
        return BackendKind::Sway;
    return std::nullopt;
}

} // namespace

std::string backendName(BackendKind kind) {
    for (const auto& [k, name] : kNames)
        if (k == kind)
            return name;
    return "file";
}

std::optional<BackendKind> backendFromName(const std::string& name) {
    const std::string l = lower(name);
    for (const auto& [k, n] : kNames)
        if (l == n)
            return k;
    return std::nullopt;
}

Environment processEnvironment() {
    return [](const std::string& name) {
        const char* value = std::getenv(name.c_str());
        return std::string(value ? value : "");
    };
}

namespace {

BackendKind desktopOfSession(const Environment& env);

} // namespace

BackendKind detectBackend(const Environment& env) {
    return detectBackend(env, {});
}

BusNames sessionBusNames() {
    return [] {
        std::vector<std::string> names;
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return names;
        const QDBusReply<QStringList> reply = bus.interface()->registeredServiceNames();
        if (reply.isValid())
            for (const QString& name : reply.value())
                names.push_back(name.toStdString());
        return names;
    };
}

BackendKind detectBackend(const Environment& env, const BusNames& busNames) {
    if (auto forced = backendFromName(env("SKYLOOM_WALLPAPER_BACKEND")))
        return *forced;
    if (busNames && env("DISPLAY").empty() && env("WAYLAND_DISPLAY").empty() &&
        desktopOfSession(env) == BackendKind::File) {
        // Each desktop's own service; the first one running wins.
        constexpr std::pair<const char*, BackendKind> kServices[] = {
            {"org.Cinnamon", BackendKind::Cinnamon},
            {"org.mate.SessionManager", BackendKind::Mate},
            {"org.xfce.SessionManager", BackendKind::Xfce},
            {"org.gnome.Shell", BackendKind::Gnome},
        };
        const std::vector<std::string> names = busNames();
        for (const auto& [service, kind] : kServices)
            if (std::find(names.begin(), names.end(), service) != names.end())
                return kind;
        return BackendKind::File;
    }
    // swaybg draws on the compositor's display: without one (a cron job, an
    // ssh login) the picture file is all there is. The desktops told through
    // their settings only need the session bus.
    const BackendKind kind = desktopOfSession(env);
    if (kind == BackendKind::Sway && env("WAYLAND_DISPLAY").empty())
        return BackendKind::File;
    return kind;
}

namespace {

BackendKind desktopOfSession(const Environment& env) {
    // XDG_CURRENT_DESKTOP lists the desktop and what it derives from
    // ("Budgie:GNOME"); the first entry we know wins.
    const std::string current = lower(env("XDG_CURRENT_DESKTOP"));
    std::size_t start = 0;
    while (start <= current.size()) {
        const std::size_t colon = current.find(':', start);
        const std::string entry =
            current.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (auto kind = fromDesktopName(entry))
            return *kind;
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    if (env("KDE_FULL_SESSION") == "true")
        return BackendKind::Kde;
    if (!env("GNOME_DESKTOP_SESSION_ID").empty())
        return BackendKind::Gnome;
    if (!env("MATE_DESKTOP_SESSION_ID").empty())
        return BackendKind::Mate;
    if (auto kind = fromDesktopName(lower(env("DESKTOP_SESSION"))))
        return *kind;
    if (!env("WAYLAND_DISPLAY").empty())
        return BackendKind::Sway;
    if (!env("DISPLAY").empty())
        return BackendKind::X11Root;
    return BackendKind::File;
}

} // namespace

std::string fileUri(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path))
        .toString(QUrl::FullyEncoded)
        .toStdString();
}

} // namespace skyloom::platform::wallpaper

namespace skyloom::platform::wallpaper {

// Desktops that cannot be asked (swaybg, the X root window, LXQt, the file
// alone): the record says so, and a restore takes Skyloom's picture away.
ReadResult DesktopBackend::current() {
    ReadResult result;
    result.ok = true;
    result.wallpaper.backend = backendName(kind());
    return result;
}

InstallResult DesktopBackend::restore(const SavedWallpaper&) {
    return remove();
}

} // namespace skyloom::platform::wallpaper
