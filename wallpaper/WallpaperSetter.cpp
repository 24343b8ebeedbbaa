#include "WallpaperSetter.h"

#include "common/AtomicFile.h"
#include "common/Log.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "platform/Locations.h"

#include <QImageWriter>

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

// The file of monitor `n`'s part (from 1) beside `path`: "Skyloom-2.bmp",
// or under a fresh name "Skyloom-a-2.bmp" (letter not 0).
std::string partPath(const std::string& path, char letter, std::size_t n) {
    const fs::path p(path);
    std::string stem = p.stem().string() + "-";
    if (letter)
        stem += std::string(1, letter) + "-";
    return (p.parent_path() / (stem + std::to_string(n) + p.extension().string())).string();
}

// Removes the parts written under `letter` (0: the plain names) by a render
// before, from monitor `from` on, however many monitors it had.
void removeParts(const std::string& path, char letter, std::size_t from = 1) {
    if (path.empty())
        return;
    std::error_code ec;
    for (std::size_t n = from; n < 64; ++n)
        if (!fs::remove(partPath(path, letter, n), ec))
            break;
}

// Writes each monitor's part of a composed wallpaper into its own file
// (BMP, and PNG when `png`), the picture files' paths into `monitors`.
bool writeParts(const RenderResult& rendered, const RenderRequest& request, char letter,
                std::vector<pw::MonitorPicture>& monitors, std::string& error) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const QImage part = rendered.image.copy(rendered.parts[i]);
        monitors[i].bmpPath = partPath(request.outputPath, letter, i + 1);
        AtomicFile bmp(monitors[i].bmpPath, graphics::kWorkFile);
        if (!graphics::writeBmp24(bmp, part, error) || !bmp.commit()) {
            error = "cannot write " + monitors[i].bmpPath + ": " + error + bmp.error();
            return false;
        }
        if (request.pngPath.empty())
            continue;
        monitors[i].pngPath = partPath(request.pngPath, letter, i + 1);
        AtomicFile png(monitors[i].pngPath, graphics::kWorkFile);
        QImageWriter writer(QString::fromStdString(png.temporaryPath()), "png");
        writer.setCompression(1);
        if (!png.ok() || !writer.write(part) || !png.commit()) {
            error = "cannot write " + monitors[i].pngPath + ": " +
                    writer.errorString().toStdString() + png.error();
            return false;
        }
    }
    return true;
}

// True when a recorded value names one of Skyloom's own wallpaper files in
// `folder` ("Skyloom.bmp", its aliases, the PNG), as a path or a file URI.
bool namesOwnPicture(const pw::SavedWallpaper& saved, const std::string& folder) {
    const std::string stem = fs::path(kBmpFileName).stem().string();
    const std::string path = (fs::path(folder) / stem).string();
    const std::string uri = pw::fileUri(folder) + "/" + stem;
    for (const auto& setting : saved.settings)
        if (setting.value && (setting.value->find(path) != std::string::npos ||
                              setting.value->find(uri) != std::string::npos))
            return true;
    return false;
}

} // namespace

WallpaperSetter::WallpaperSetter(std::unique_ptr<pw::DesktopBackend> backend,
                                 std::string recordPath)
    : runner_(std::make_unique<pw::ProcessRunner>()), backend_(std::move(backend)),
      record_(recordPath.empty() ? UserWallpaperRecord::defaultPath() : std::move(recordPath)) {
    if (!backend_)
        backend_ =
            pw::makeBackend(pw::detectBackend(pw::processEnvironment(), pw::sessionBusNames()),
                            *runner_, platform::runtimeDirectory());
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
    const bool composed = rendered.parts.size() >= 2;
    if (composed) {
        picture.origin = rendered.origin;
        for (std::size_t i = 0; i < request.monitors.size(); ++i)
            picture.monitors.push_back(
                {request.monitors[i].name, rendered.parts[i].translated(rendered.origin), {}, {}});
        std::string error;
        if (backend_->wantsMonitorParts() &&
            !writeParts(rendered, request, fresh ? letter : 0, picture.monitors, error)) {
            removeParts(request.outputPath, fresh ? letter : 0);
            removeParts(request.pngPath, fresh ? letter : 0);
            return {false, error};
        }
    }
    if (fresh) {
        if (auto name = linkAlias(request.outputPath, letter); !name.empty())
            picture.bmpPath = name;
        if (auto name = linkAlias(request.pngPath, letter); !name.empty())
            picture.pngPath = name;
    }
    std::string reason;
    if (!recordUserWallpaper(request, reason)) {
        if (fresh) {
            removeAliases(request.outputPath, letter);
            removeAliases(request.pngPath, letter);
        }
        removeParts(request.outputPath, fresh ? letter : 0);
        removeParts(request.pngPath, fresh ? letter : 0);
        return {false, reason};
    }
    const pw::InstallResult installed = backend_->install(picture);
    if (!installed.ok) {
        if (fresh) {
            removeAliases(request.outputPath, letter);
            removeAliases(request.pngPath, letter);
        }
        removeParts(request.outputPath, fresh ? letter : 0);
        removeParts(request.pngPath, fresh ? letter : 0);
        return {false, "the " + pw::backendName(backend_->kind()) +
                           " desktop did not take the wallpaper: " + installed.message};
    }
    if (fresh) {
        removeAliases(request.outputPath, other);
        removeAliases(request.pngPath, other);
        removeParts(request.outputPath, other);
        removeParts(request.pngPath, other);
    }
    // Parts of a wallpaper before that had more monitors, or any when this
    // one has none.
    const std::size_t kept =
        composed && backend_->wantsMonitorParts() ? picture.monitors.size() : 0;
    removeParts(request.outputPath, fresh ? letter : 0, kept + 1);
    removeParts(request.pngPath, fresh ? letter : 0, kept + 1);
    if (!installed.message.empty())
        logInfo("wallpaper", installed.message);
    UpdateWinIni();
    return {true, installed.message};
}

Outcome WallpaperSetter::SetScreenWallpaper(const RenderRequest& request, int screenNumber) {
    if (backend_->kind() != pw::BackendKind::X11Root)
        return {true, {}};
    const RenderResult rendered = renderWallpaper(request, calendar_);
    if (!rendered.ok)
        return {false, rendered.error};
    pw::WallpaperPicture picture;
    picture.bmpPath = request.outputPath;
    picture.image = &rendered.image;
    picture.fit = request.fit;
    picture.screenNumber = screenNumber;
    if (rendered.parts.size() >= 2) {
        picture.origin = rendered.origin;
        for (std::size_t i = 0; i < request.monitors.size(); ++i)
            picture.monitors.push_back(
                {request.monitors[i].name, rendered.parts[i].translated(rendered.origin), {}, {}});
    }
    const pw::InstallResult installed = backend_->install(picture);
    if (!installed.ok)
        return {false, "X screen " + std::to_string(screenNumber) +
                           " did not take the wallpaper: " + installed.message};
    return {true, {}};
}

bool WallpaperSetter::recordUserWallpaper(const RenderRequest& request, std::string& reason) {
    // The file alone changes no desktop.
    if (backend_->kind() == pw::BackendKind::File)
        return true;
    const std::string name = pw::backendName(backend_->kind());
    const UserWallpaperRecord::Loaded loaded = record_.load(name);
    if (loaded.state == UserWallpaperRecord::State::Present)
        return true;
    if (loaded.state == UserWallpaperRecord::State::Damaged) {
        // Kept, so that it is not replaced by a reading of Skyloom's picture.
        logWarning("wallpaper", loaded.message);
        return true;
    }
    pw::ReadResult read = backend_->current();
    if (!read.ok) {
        reason = "the " + name + " desktop's own wallpaper could not be read, so it was left as " +
                 "it was: " + read.message;
        return false;
    }
    read.wallpaper.backend = name;
    const std::string folder = fs::path(request.outputPath).parent_path().string();
    if (read.wallpaper.known && namesOwnPicture(read.wallpaper, folder)) {
        // Skyloom's picture from before there was a record: the desktop's
        // own setting is not known any more.
        logInfo("wallpaper", "the " + name + " desktop already shows Skyloom's wallpaper; its " +
                                 "own wallpaper is not known");
        read.wallpaper.known = false;
        read.wallpaper.settings.clear();
    }
    if (!read.wallpaper.known)
        logInfo("wallpaper", "the " + name + " desktop cannot tell its wallpaper; taking " +
                                 "Skyloom's away will leave it without one");
    std::string error;
    if (!record_.keep(read.wallpaper, &error)) {
        reason = "the " + name + " desktop's own wallpaper could not be recorded, so it was left " +
                 "as it was: " + error;
        return false;
    }
    return true;
}

Outcome WallpaperSetter::RemoveWallpaper() {
    const RestoreOutcome restored = RestoreUserWallpaper();
    switch (restored.status) {
    case RestoreStatus::Restored:
    case RestoreStatus::NotKnown:
        UpdateWinIni();
        return {true, {}};
    case RestoreStatus::Failed:
        return {false, restored.message};
    case RestoreStatus::Damaged:
        logWarning("wallpaper", restored.message + "; the wallpaper is taken away instead");
        break;
    case RestoreStatus::NothingRecorded:
        break;
    }
    const pw::InstallResult removed = backend_->remove();
    if (!removed.ok)
        return {false, "the " + pw::backendName(backend_->kind()) +
                           " desktop kept its wallpaper: " + removed.message};
    if (restored.status == RestoreStatus::Damaged) {
        std::string error;
        if (!record_.forget(pw::backendName(backend_->kind()), &error))
            logWarning("wallpaper", error);
    }
    UpdateWinIni();
    return {true, {}};
}

RestoreOutcome WallpaperSetter::RestoreUserWallpaper() {
    const std::string name = pw::backendName(backend_->kind());
    const UserWallpaperRecord::Loaded loaded = record_.load(name);
    switch (loaded.state) {
    case UserWallpaperRecord::State::None:
        return {RestoreStatus::NothingRecorded,
                "no wallpaper of the " + name + " desktop is recorded in " + record_.path()};
    case UserWallpaperRecord::State::Damaged:
        return {RestoreStatus::Damaged, loaded.message};
    case UserWallpaperRecord::State::Present:
        break;
    }
    const pw::InstallResult restored = backend_->restore(loaded.wallpaper);
    if (!restored.ok)
        return {RestoreStatus::Failed,
                "the " + name +
                    " desktop did not take its own wallpaper back: " + restored.message};
    std::string error;
    if (!record_.forget(name, &error))
        logWarning("wallpaper", error);
    if (!loaded.wallpaper.known)
        return {RestoreStatus::NotKnown,
                "the " + name + " desktop's own wallpaper was not known; Skyloom's was taken away"};
    return {RestoreStatus::Restored, "the " + name + " desktop's own wallpaper is back"};
}

} // namespace skyloom::wallpaper
