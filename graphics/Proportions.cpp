#include "Proportions.h"

#include "common/Profile.h"

#include <algorithm>
#include <cstdint>

namespace skyloom::graphics {

namespace {

int rounded(double v, int most) {
    return static_cast<int>(std::clamp<std::int64_t>(skyloom::roundHalfEven(v), 1, most));
}

} // namespace

ProportionFit keepProportions(int pw, int ph, int sw, int sh) {
    pw = std::max(1, pw);
    ph = std::max(1, ph);
    sw = std::max(1, sw);
    sh = std::max(1, sh);
    ProportionFit f;
    f.cutWidth = pw;
    f.cutHeight = ph;
    const double shape = (double(pw) / ph) / (double(sw) / sh);
    if (shape >= 1 && 1 - 1 / shape <= kMaxCoverCut) {
        f.cutWidth = rounded(double(ph) * sw / sh, pw);
        f.cutX = (pw - f.cutWidth) / 2;
    } else if (shape < 1 && 1 - shape <= kMaxCoverCut) {
        f.cutHeight = rounded(double(pw) * sh / sw, ph);
        f.cutY = (ph - f.cutHeight) / 2;
    } else {
        f.inside = true;
        f.scale = std::min(double(sw) / pw, double(sh) / ph);
        f.width = rounded(pw * f.scale, sw);
        f.height = rounded(ph * f.scale, sh);
        f.x = (sw - f.width) / 2;
        f.y = (sh - f.height) / 2;
    }
    return f;
}

} // namespace skyloom::graphics
