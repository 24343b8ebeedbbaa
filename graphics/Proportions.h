#pragma once
// The one rule by which a picture keeps its proportions on a screen of
// another shape, shared by the saver and the wallpaper: when the two shapes
// nearly agree the picture covers the screen and loses a thin centred strip
// (at most kMaxCoverCut of its width or height); otherwise all of it is
// fitted inside the screen, centred on black.

namespace skyloom::graphics {

inline constexpr double kMaxCoverCut = 0.15;

struct ProportionFit {
    /// False: the centred part cutX/cutY/cutWidth/cutHeight of the picture
    /// covers the screen. True: the whole picture fills x/y/width/height of
    /// the screen, scaled by `scale`.
    bool inside = false;
    int cutX = 0, cutY = 0, cutWidth = 1, cutHeight = 1;
    int x = 0, y = 0, width = 1, height = 1;
    double scale = 1;
};

/// Sizes below 1 count as 1. Sizes are rounded half to even.
ProportionFit keepProportions(int pictureWidth, int pictureHeight, int screenWidth,
                              int screenHeight);

} // namespace skyloom::graphics
