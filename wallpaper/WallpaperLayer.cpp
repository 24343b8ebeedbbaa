#include "WallpaperLayer.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "imagesets/SetFiles.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace skyloom::wallpaper {

namespace {

std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

// The leading number of a list entry as a 16-bit integer (halves to even).
int toInt16(const std::string& text) {
    const auto value = roundHalfEven(leadingNumber(text));
    return static_cast<int>(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
}

} // namespace

LayerChoice ChooseWPLayer(const std::string& images, const std::string& trans,
                          const std::string& settingsFile) {
    if (images.empty())
        return {};
    const std::vector<std::string> names = splitAtCommas(images);
    const bool isList = names.size() > 1;
    std::vector<std::string> values;
    if (trans.find(',') != std::string::npos)
        values = splitAtCommas(trans);
    else
        values.assign(names.size(), trans);

    std::int64_t k =
        static_cast<std::int64_t>(ReadIniInt("PrefsWP", "WallpaperLastLayer", 0, settingsFile)) + 1;
    if (k > static_cast<std::int64_t>(names.size()) || k < 1)
        k = 1;
    const auto index = static_cast<std::size_t>(k - 1);
    LayerChoice choice;
    choice.name = names[index];
    if (index < values.size())
        choice.translucency = toInt16(values[index]);
    else
        choice.translucency = isList ? 50 : toInt16(values.front());
    if (!WriteIniString("PrefsWP", "WallpaperLastLayer", std::to_string(k), settingsFile))
        logWarning("wallpaper", "could not record the layer turn in " + settingsFile);
    return choice;
}

int normaliseTranslucency(int t) {
    if (t > 100) {
        const float s = static_cast<float>(t) / 65535.0f;
        // 65535 and the like would give 100, beyond the scale.
        return std::min(99, static_cast<int>(roundHalfEven(static_cast<double>(s) * 100.0)));
    }
    if (t == 100)
        return 99;
    return std::max(t, 0);
}

bool DisplayWPLayer(rasterkit::Handle buffer, int width, int height, const LayerSource& source) {
    std::string name = ReadIniString("LayerWP", "layerImage", "", source.pictureInfo);
    int t = 0;
    if (!name.empty()) {
        t = ReadIniInt("LayerWP", "layerTranslucency", 0, source.pictureInfo);
    } else {
        imagesets::PathResolver resolver;
        const std::string company =
            resolver.resolve(source.setDirectory, "company.ini").value_or(std::string());
        const LayerChoice choice = ChooseWPLayer(
            ReadIniString("LayerWP", "layerImage", "", company),
            ReadIniString("LayerWP", "layerTranslucency", "0", company), source.settingsFile);
        name = choice.name;
        t = choice.translucency;
    }
    t = normaliseTranslucency(t);
    if (name.empty())
        return false;
    if (!imagesets::isSafeRelativePath(name)) {
        logWarning("wallpaper", "layer \"" + name + "\" is not inside the set folder; skipped");
        return false;
    }
    imagesets::PathResolver resolver;
    std::string why;
    const auto found = resolver.resolve(source.setDirectory, name, &why);
    if (!found) {
        logWarning("wallpaper", "layer " + source.setDirectory + name + " not used: " + why);
        return false;
    }
    const std::string& path = *found;
    const rasterkit::OwnedHandle owned(rasterkit::LoadBitMap(path));
    const rasterkit::Handle layer = owned.get();
    if (!owned) {
        logWarning("wallpaper", "layer " + path + " could not be loaded (" +
                                    rasterkit::LastError() + "); the wallpaper has none");
        return false;
    }
    const int lw = rasterkit::GetGCBitmapWidth(layer);
    const int lh = rasterkit::GetGCBitmapHeight(layer);
    const QRect area = source.visible.isValid()
                           ? source.visible.intersected(QRect(0, 0, width, height))
                           : QRect(0, 0, width, height);
    const int result =
        rasterkit::DoBlitToWorkWOP(buffer, area.right() + 1 - lw - 20, area.bottom() + 1 - lh - 20,
                                   layer, 0, 0, 0, 0, 1, 0, t, 0);
    return result == 0;
}

} // namespace skyloom::wallpaper
