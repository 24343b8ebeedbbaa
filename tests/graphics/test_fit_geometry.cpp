// Where the fitted decode puts things: a smooth, busy picture of odd size
// (divided by no DCT scale) is decoded and fitted at every DCT scale, single
// and several decoders, stretched and covering. A reference is made from the
// full-size decode, resampled with exact positions; the shift between the
// two, measured separately near each edge of the picture, must stay within
// 0.05 output pixels. A picture squeezed or moved by even a fraction of a
// decoded pixel shows as a shift growing towards one edge.

#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"
#include "tests/support/TempDir.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace skyloom;
using namespace skyloom::graphics;

namespace {

// Waves of periods from 70 to 190 pixels: every part of the picture has
// slopes in both directions, and none is lost when shrinking by 8.
QImage waves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double v = 128 + 50 * std::sin(x / 11.3 + 0.4) * std::cos(y / 17.9) +
                             40 * std::sin(x / 29.1 + y / 23.7) + 30 * std::cos(y / 12.1 + 1.1);
            const int g = static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
            row[x] = qRgb(g, 255 - g, 128);
        }
    }
    return image;
}

// Sum of squared differences of the green channel over a part of `a` and
// the picture `b` of that part alone.
double difference(const QImage& a, const QImage& b, QRect part) {
    double sum = 0;
    for (int y = 0; y < part.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(part.top() + y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < part.width(); ++x) {
            const double d = qGreen(pa[part.left() + x]) - qGreen(pb[x]);
            sum += d * d;
        }
    }
    return sum;
}

// How far (in output pixels, along x or y) `fitted` is shifted against the
// exact resampling of `full`'s part `crop` in the region `part`: the
// minimum of a parabola through the differences at three trial shifts.
double shiftIn(const QImage& fitted, const QImage& full, QRectF crop, bool vertical, QRect part) {
    const double step = 0.25; // output pixels
    const double perOut =
        vertical ? crop.height() / fitted.height() : crop.width() / fitted.width();
    double d[3];
    for (int i = 0; i < 3; ++i) {
        const double s = (i - 1) * step * perOut;
        QImage reference(part.size(), QImage::Format_RGB32);
        resampleArea(full, crop.translated(vertical ? 0 : s, vertical ? s : 0), fitted.size(),
                     part.topLeft(), reference);
        d[i] = difference(fitted, reference, part);
    }
    const double curve = d[0] - 2 * d[1] + d[2];
    if (curve <= 0)
        return 1e9; // no minimum: nothing alike at all
    return step * (d[0] - d[2]) / (2 * curve);
}

} // namespace

TEST(FitGeometry, EveryScaleKeepsPositionsExact) {
    test::TempDir dir;
    const int w = 2003, h = 1501;
    const QImage picture = waves(w, h);
    const std::vector<QSize> targets{{240, 180}, {480, 360}, {960, 720}, {1500, 1100}};
    for (bool progressive : {false, true}) {
        std::string error;
        JpegEncodeOptions options;
        options.quality = 100;
        options.progressive = progressive;
        const std::string path = dir.file(progressive ? "waves-p.jpg" : "waves.jpg");
        ASSERT_TRUE(writeJpeg(path, picture, options, error)) << error;
        QImage full;
        ASSERT_TRUE(loadPicture(path, full, error)) << error;
        for (JpegThreads threads : {JpegThreads::One, JpegThreads::Several}) {
            for (QSize target : targets) {
                for (FitMode mode : {FitMode::Stretch, FitMode::Cover}) {
                    SCOPED_TRACE(std::to_string(target.width()) + "x" +
                                 std::to_string(target.height()) +
                                 (progressive ? " progressive" : " baseline") +
                                 (threads == JpegThreads::Several ? ", several decoders" : "") +
                                 (mode == FitMode::Cover ? ", cover" : ", stretch"));
                    QImage out;
                    ASSERT_TRUE(decodeJpegFittedFile(path, target, mode, out, error, {}, threads))
                        << error;
                    ASSERT_EQ(out.size(), target);
                    QRectF crop(0, 0, w, h);
                    if (mode == FitMode::Cover) {
                        // As image tools do: the scaled size rounded, the
                        // overflow cut equally from both sides.
                        const double s =
                            std::max(double(target.width()) / w, double(target.height()) / h);
                        const double sw = std::max<double>(target.width(), std::round(w * s));
                        const double sh = std::max<double>(target.height(), std::round(h * s));
                        crop = QRectF(std::floor((sw - target.width()) / 2) * w / sw,
                                      std::floor((sh - target.height()) / 2) * h / sh,
                                      target.width() * w / sw, target.height() * h / sh);
                    }
                    // Bands along each edge, clear of the outermost pixels.
                    const int tw = target.width(), th = target.height();
                    const int bw = tw / 5, bh = th / 5, m = 4;
                    const QRect top(m, m, tw - 2 * m, bh), bottom(m, th - m - bh, tw - 2 * m, bh);
                    const QRect left(m, m, bw, th - 2 * m), right(tw - m - bw, m, bw, th - 2 * m);
                    EXPECT_LE(std::abs(shiftIn(out, full, crop, true, top)), 0.05) << "top";
                    EXPECT_LE(std::abs(shiftIn(out, full, crop, true, bottom)), 0.05) << "bottom";
                    EXPECT_LE(std::abs(shiftIn(out, full, crop, false, left)), 0.05) << "left";
                    EXPECT_LE(std::abs(shiftIn(out, full, crop, false, right)), 0.05) << "right";
                }
            }
        }
    }
}

// The factor of a DCT-scaled decode comes from the scale, not from the
// rounded-up size it gave.
TEST(FitGeometry, DecodedScaleIsTheDctScale) {
    EXPECT_DOUBLE_EQ(decodedScale({8660, 5774}, {1083, 722}), 0.125);
    EXPECT_DOUBLE_EQ(decodedScale({8660, 5774}, {2165, 1444}), 0.25);
    EXPECT_DOUBLE_EQ(decodedScale({8660, 5774}, {4330, 2887}), 0.5);
    EXPECT_DOUBLE_EQ(decodedScale({8660, 5774}, {8660, 5774}), 1.0);
    // Not a DCT scale (another decoder's own size): the ratio.
    EXPECT_DOUBLE_EQ(decodedScale({1000, 500}, {300, 150}), 0.3);
    EXPECT_DOUBLE_EQ(decodedScale({0, 0}, {10, 10}), 1.0);
}

// Resampling only a part of the result gives that part's pixels exactly, at
// the edges of the picture and inside it.
TEST(FitGeometry, APartOfAResamplingIsThatPartOfTheWhole) {
    const QImage picture = waves(301, 203);
    const QRectF crop(3.25, 1.5, 290.5, 200);
    for (const QSize size : {QSize(97, 61), QSize(640, 410)}) {
        QImage whole(size, QImage::Format_RGB32);
        resampleArea(picture, crop, whole);
        for (const QRect part : {QRect(0, 0, size.width(), 9), QRect(size.width() - 7, 5, 7, 20),
                                 QRect(20, 30, 31, 17)}) {
            QImage piece(part.size(), QImage::Format_RGB32);
            resampleArea(picture, crop, size, part.topLeft(), piece);
            EXPECT_EQ(piece, whole.copy(part))
                << size.width() << " " << part.x() << "," << part.y();
        }
    }
}

// A fractional part of a picture lands where it belongs: the same part cut
// out at whole pixels of a picture 4 times larger gives the same result.
TEST(FitGeometry, AreaResamplingKeepsFractions) {
    const QImage small = waves(401, 301);
    QImage out(100, 75, QImage::Format_RGB32);
    resampleArea(small, QRectF(10.25, 20.5, 200, 150), out);
    const QRect inside(4, 4, 92, 67);
    EXPECT_LE(std::abs(shiftIn(out, small, QRectF(10.25, 20.5, 200, 150), false, inside)), 0.01);
    // The same cut rounded to whole pixels is a quarter of a pixel off.
    QImage rounded(100, 75, QImage::Format_RGB32);
    resampleArea(small, QRectF(10, 20.5, 200, 150), rounded);
    EXPECT_NEAR(shiftIn(rounded, small, QRectF(10.25, 20.5, 200, 150), false, inside), -0.125,
                0.03);
}
