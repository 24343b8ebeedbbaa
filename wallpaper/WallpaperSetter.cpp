#include "WallpaperSetter.h"

#include "common/Log.h"
#include "platform/Locations.h"

#include <filesystem>

namespace skyloom::wallpaper {

namespace pw = platform::wallpaper;
namespace fs = std::filesystem;

namespace {

// Desktops told through their settings keep the file name, and some do not
// load the picture again when the name they are given is the one they
// already show. They get the picture under one of two alternating names
// beside "Skyloom.bmp" (hard links, so no pixels are copied); the name of the
// render before is removed once the desktop has taken the new one.
bool needsFreshName(pw::BackendKind kind) {
    return kind != pw::BackendKind::X11Root && kind != pw::BackendKind::File &&
           kind != pw::BackendKind::Sway;
}

// "Skyloom.bmp" -> "Skyloom-a.bmp" or "Skyloom-b.bmp".
std::string alias(const std::string& path, char letter) {
    const fs::path p(path);
    return (p.parent_path() / (p.stem().string() + "-" + letter + p.extension().string())).string();
}

// Links `path` under the alias `letter`; "" when that fails (the caller then
// gives the desktop the path itself).
std::string linkAlias(const std::string& path, char letter) {
    if (path.empty())
        return {};
    const std::string name = alias(path, letter);
    std::error_code ec;
    fs::remove(name, ec);
    fs::create_hard_link(path, name, ec);
    if (ec) {
        fs::copy_file(path, name, fs::copy_options::overwrite_existing, ec);
        if (ec)
            return {};
    }
    return name;
}

void removeAliases(const std::string& path, char letter) {
    if (path.empty())
        return;
    std::error_code ec;
    fs::remove(alias(path, letter), ec);
}

} // namespace

WallpaperSetter::WallpaperSetter(std::unique_ptr<pw::DesktopBackend> backend)
    : runner_(std::make_unique<pw::ProcessRunner>()), backend_(std::move(backend)) {
    if (!backend_)
        backend_ = pw::makeBackend(pw::detectBackend(pw::processEnvironment()), *runner_,
                                   platform::runtimeDirectory());
}

WallpaperSetter::~WallpaperSetter() = default;

Outcome WallpaperSetter::SetWallpaper(RenderRequest request) {
    if (backend_->wantsPng())
        request.pngPath =
            (std::filesystem::path(request.outputPath).parent_path() / kPngFileName).string();
    const RenderResult rendered = renderWallpaper(request, calendar_);
    if (!rendered.ok)
        return {false, rendered.error};
    pw::WallpaperPicture picture;
    picture.bmpPath = request.outputPath;
    picture.pngPath = request.pngPath;
    picture.image = &rendered.image;
    picture.fit = request.fit;
    const bool fresh = needsFreshName(backend_->kind());
    const char letter = fs::exists(alias(request.outputPath, 'a')) ? 'b' : 'a';
    const char other = letter == 'a' ? 'b' : 'a';
    if (fresh) {
        if (auto name = linkAlias(request.outputPath, letter); !name.empty())
            picture.bmpPath = name;
        if (auto name = linkAlias(request.pngPath, letter); !name.empty())
            picture.pngPath = name;
    }
    const pw::InstallResult installed = backend_->install(picture);
    if (!installed.ok) {
        if (fresh) {
            removeAliases(request.outputPath, letter);
            removeAliases(request.pngPath, letter);
        }
        return {false, "the " + pw::backendName(backend_->kind()) +
                           " desktop did not take the wallpaper: " + installed.message};
    }
    if (fresh) {
        removeAliases(request.outputPath, other);
        removeAliases(request.pngPath, other);
    }
    if (!installed.message.empty())
        logInfo("wallpaper", installed.message);
    UpdateWinIni();
    return {true, installed.message};
}

Outcome WallpaperSetter::RemoveWallpaper() {
    const pw::InstallResult removed = backend_->remove();
    if (!removed.ok)
        return {false, "the " + pw::backendName(backend_->kind()) +
                           " desktop kept its wallpaper: " + removed.message};
    UpdateWinIni();
    return {true, {}};
}

} // namespace skyloom::wallpaper
