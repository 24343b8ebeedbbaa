#include "FirstRunSet.h"

#include "common/Log.h"
#include "imagesets/maker/SetMaker.h"
#include "platform/Locations.h"

#include <cstdlib>
#include <filesystem>

namespace skyloom::config {
namespace fs = std::filesystem;

bool hasAnyImageSet(const std::string& programDir) {
    std::error_code ec;
    fs::recursive_directory_iterator it(programDir, fs::directory_options::skip_permission_denied,
                                        ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it.depth() > 4) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->path().filename() == "images.ini")
            return true;
    }
    return false;
}

bool makeFirstRunSet(const std::string& programDir, mkset::Progress* progress) {
    if (programDir.empty() || programDir != platform::defaultProgramDirectory() ||
        hasAnyImageSet(programDir))
        return false;
    const fs::path photos = platform::firstRunPhotoFolder();
    std::error_code ec;
    if (!fs::is_directory(photos / "nature", ec)) {
        // The photographs come with a recommended package only; without them
        // the user is told that no image set exists and makes one.
        logInfo("sets", "no image set, and no photographs in " + (photos / "nature").string() +
                            " to make a first one from (package mate-backgrounds); make a set "
                            "with skyloom-mkset");
        return false;
    }
    mkset::MakeOptions options;
    options.sources.push_back((photos / "nature").string());
    for (const auto& e : fs::directory_iterator(photos / "abstract", ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("Elephants", 0) == 0 && e.path().extension() == ".jpg")
            options.sources.push_back(e.path().string());
    }
    options.setName = "Nature";
    options.programDir = programDir;
    options.store = mkset::StoreMode::Link;
    logInfo("sets", "no image set yet: making \"Nature\" from " + photos.string());
    const mkset::MakeReport report = mkset::makeSet(options, progress);
    if (!report.error.empty() || report.total == 0) {
        logWarning("sets", "could not make the first image set: " + report.error);
        return false;
    }
    return true;
}

} // namespace skyloom::config
