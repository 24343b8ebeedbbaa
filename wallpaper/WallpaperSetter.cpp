#include "WallpaperSetter.h"

#include "common/Log.h"
#include "platform/Locations.h"

#include <filesystem>

namespace skyloom::wallpaper {

namespace pw = platform::wallpaper;

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
    const pw::InstallResult installed = backend_->install(picture);
    if (!installed.ok)
        return {false, "the " + pw::backendName(backend_->kind()) +
                           " desktop did not take the wallpaper: " + installed.message};
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
