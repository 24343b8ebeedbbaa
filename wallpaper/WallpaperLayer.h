#pragma once
// The translucent layer picture blended into the bottom-right corner of the
// wallpaper. A picture's own information file may name one; otherwise the
// set's company.ini may list several, used in turn, one per render, the turn
// kept in ScreenSaver.ini [PrefsWP] "WallpaperLastLayer".

#include "graphics/rasterkit/Rasterkit.h"

#include <QRect>

#include <string>

namespace skyloom::wallpaper {

struct LayerChoice {
    std::string name;     ///< layer file relative to the set folder, "" for none
    int translucency = 0; ///< as given (before normaliseTranslucency)
};

/// The next entry of the set-wide list `images` (comma-separated, blanks
/// kept, empty entries count) with its translucency from `trans` (a list of
/// the same form, or one value for all; an entry missing from a shorter list
/// gets 50 when `images` is a list, else the first value). Advances and
/// writes "WallpaperLastLayer" in `settingsFile`; nothing is read or written
/// when `images` is empty.
LayerChoice ChooseWPLayer(const std::string& images, const std::string& trans,
                          const std::string& settingsFile);

/// Translucency on the 0-99 scale: above 100 it is a 16-bit fraction
/// (t / 65535 × 100, halves to even, at most 99), 100 becomes 99, below 0
/// becomes 0.
int normaliseTranslucency(int t);

/// Where the layer and the wallpaper come from.
struct LayerSource {
    std::string pictureInfo;  ///< the picture's .nfo file
    std::string setDirectory; ///< its set folder, ending in "/"
    std::string settingsFile; ///< ScreenSaver.ini
    QRect visible;            ///< the part the screen shows; invalid: all of it
};

/// Blends the chosen layer into the finished wallpaper in `buffer` (width ×
/// height pixels), its bottom-right corner 20 pixels from the right and
/// bottom edges of the picture (of its visible part, when given). A layer that cannot be loaded, or
/// whose name leaves the set folder, is skipped (logged). True when a layer was blended.
bool DisplayWPLayer(rasterkit::Handle buffer, int width, int height, const LayerSource& source);

} // namespace skyloom::wallpaper
