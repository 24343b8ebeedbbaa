// JPEG decoding: scaled decoding, the decode-and-fit path, limits and
// damaged files, and recognising pictures by content rather than name.

#include "BmpBuilder.h"
#include "graphics/WorkBuff.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "tests/support/TempDir.h"

#include <QBuffer>
#include <QColor>
#include <QImageWriter>
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace skyloom;
using namespace skyloom::graphics;

namespace {

// A smooth picture: JPEG keeps it within a few levels.
QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    return image;
}

std::vector<std::uint8_t> jpegBytes(const test::TempDir& dir, const QImage& image,
                                    const char* name = "g.jpg") {
    std::string error;
    EXPECT_TRUE(writeJpeg(dir.file(name), image, 90, error)) << error;
    const std::string s = dir.read(name);
    return {s.begin(), s.end()};
}

int maxDifference(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

TEST(Jpeg, DecodesAndScalesInTheDctDomain) {
    test::TempDir dir;
    const QImage source = gradient(400, 300);
    const auto bytes = jpegBytes(dir, source);
    QImage out;
    std::string error;
    ASSERT_TRUE(decodeJpeg(bytes, out, error)) << error;
    ASSERT_EQ(out.size(), QSize(400, 300));
    EXPECT_LE(maxDifference(out, source), 6);

    struct Want {
        int minW, minH;
        QSize size;
    };
    for (const Want& w :
         {Want{200, 150, {200, 150}}, Want{201, 10, {400, 300}}, Want{100, 75, {100, 75}},
          Want{60, 30, {100, 75}}, Want{50, 37, {50, 38}}, Want{1, 1, {50, 38}}}) {
        JpegDecodeOptions options;
        options.minWidth = w.minW;
        options.minHeight = w.minH;
        ASSERT_TRUE(decodeJpeg(bytes, out, error, options)) << error;
        EXPECT_EQ(out.size(), w.size) << w.minW << "x" << w.minH;
    }
}

TEST(Jpeg, FittedDecodeCoversAndStretches) {
    test::TempDir dir;
    const QImage source = gradient(800, 400);
    const auto bytes = jpegBytes(dir, source);
    QImage out;
    std::string error;
    // Cover 300 × 300: the middle 400 × 400 of the picture, scaled down.
    ASSERT_TRUE(decodeJpegFitted(bytes, {300, 300}, FitMode::Cover, out, error)) << error;
    ASSERT_EQ(out.size(), QSize(300, 300));
    const QImage expected = source.copy(200, 0, 400, 400)
                                .scaled(300, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LE(maxDifference(out, expected), 8);
    ASSERT_TRUE(decodeJpegFitted(bytes, {160, 200}, FitMode::Stretch, out, error)) << error;
    EXPECT_EQ(out.size(), QSize(160, 200));
    EXPECT_LE(maxDifference(
                  out, source.scaled(160, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
              8);
    // Enlarging works too (bilinear).
    ASSERT_TRUE(decodeJpegFitted(bytes, {1600, 800}, FitMode::Cover, out, error)) << error;
    EXPECT_EQ(out.size(), QSize(1600, 800));
    EXPECT_FALSE(decodeJpegFitted(bytes, {0, 10}, FitMode::Cover, out, error));
}

// The saver's stop request reaches the decoder: asked as input rows are
// decoded, baseline and progressive, a yes ends the decode with a reason.
TEST(Jpeg, FittedDecodeStopsWhenAsked) {
    test::TempDir dir;
    const QImage source = gradient(1600, 1200);
    std::string error;
    JpegEncodeOptions progressive;
    progressive.quality = 90;
    progressive.progressive = true;
    ASSERT_TRUE(writeJpeg(dir.file("p.jpg"), source, progressive, error)) << error;
    ASSERT_TRUE(writeJpeg(dir.file("b.jpg"), source, 90, error)) << error;
    for (const char* name : {"b.jpg", "p.jpg"}) {
        SCOPED_TRACE(name);
        int asked = 0;
        const std::function<bool()> never = [&asked] { return ++asked < 0; };
        QImage out;
        ASSERT_TRUE(decodeJpegFittedFile(dir.file(name), {1600, 1200}, FitMode::Stretch, out, error,
                                         {}, JpegThreads::One, never))
            << error;
        EXPECT_GT(asked, 10); // asked all along, not once
        const int all = asked;
        asked = 0;
        const std::function<bool()> soon = [&asked, all] { return ++asked > all / 4; };
        EXPECT_FALSE(decodeJpegFittedFile(dir.file(name), {1600, 1200}, FitMode::Stretch, out,
                                          error, {}, JpegThreads::One, soon));
        EXPECT_NE(error.find("stopped"), std::string::npos) << error;
        EXPECT_EQ(asked, all / 4 + 1); // not asked again once it said yes
    }
}

// A panorama of 64,000 pixels is a picture like any other: decoded whole,
// and fitted to a quarter of its size.
TEST(Jpeg, LongPanoramasDecode) {
    test::TempDir dir;
    QImage wide(64000, 24, QImage::Format_RGB32);
    wide.fill(qRgb(200, 40, 40));
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 60000; x < wide.width(); ++x)
            wide.setPixel(x, y, qRgb(40, 40, 200));
    const auto bytes = jpegBytes(dir, wide, "wide.jpg");
    QImage out;
    std::string error;
    ASSERT_TRUE(decodeJpeg(bytes, out, error)) << error;
    EXPECT_EQ(out.size(), wide.size());
    EXPECT_LE(maxDifference(out.copy(60000, 0, 4000, 24), wide.copy(60000, 0, 4000, 24)), 8);
    QImage fitted;
    ASSERT_TRUE(decodeJpegFitted(bytes, {16000, 6}, FitMode::Stretch, fitted, error)) << error;
    EXPECT_GT(qBlue(fitted.pixel(15500, 3)), 150);
    EXPECT_GT(qRed(fitted.pixel(100, 3)), 150);
}

TEST(Jpeg, RefusesDamagedAndOversizedFiles) {
    test::TempDir dir;
    const auto bytes = jpegBytes(dir, gradient(64, 48));
    QImage out;
    std::string error;
    // Cut anywhere: never a crash; a cut inside the picture data is an error
    // instead of a picture with a grey lower part.
    for (std::size_t n = 0; n + 2 < bytes.size(); n += 7) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + n);
        EXPECT_FALSE(decodeJpeg(cut, out, error)) << "cut at " << n;
        EXPECT_FALSE(decodeJpegFitted(cut, {10, 10}, FitMode::Cover, out, error));
    }
    // Garbage after the signature.
    std::vector<std::uint8_t> junk = {0xff, 0xd8, 0xff, 0xe0, 0, 2, 9, 9, 9};
    EXPECT_FALSE(decodeJpeg(junk, out, error));
    // A frame header claiming 40000 × 40000 pixels.
    std::vector<std::uint8_t> huge = bytes;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xff && huge[i + 1] == 0xc0) {
            huge[i + 5] = 0x9c;
            huge[i + 6] = 0x40;
            huge[i + 7] = 0x9c;
            huge[i + 8] = 0x40;
            break;
        }
    EXPECT_FALSE(decodeJpeg(huge, out, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    // The pixel limit is the caller's to lower.
    JpegDecodeOptions small;
    small.limits.maxPixels = 64 * 47;
    EXPECT_FALSE(decodeJpeg(bytes, out, error, small));
}

TEST(Jpeg, ProgressiveFilesScanLimitAndScaling) {
    test::TempDir dir;
    // Qt writes progressive JPEGs on request; they have about ten scans.
    const QImage source = gradient(64, 64);
    QImageWriter writer(QString::fromStdString(dir.file("p.jpg")), "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(source));
    const std::string s = dir.read("p.jpg");
    const std::vector<std::uint8_t> bytes(s.begin(), s.end());
    QImage out;
    std::string error;
    ASSERT_TRUE(decodeJpeg(bytes, out, error)) << error;
    // Progressive files are not halved (little gain, less detail), only quartered or more.
    JpegDecodeOptions scaled;
    scaled.minWidth = 32;
    scaled.minHeight = 32;
    ASSERT_TRUE(decodeJpeg(bytes, out, error, scaled)) << error;
    EXPECT_EQ(out.size(), QSize(64, 64));
    scaled.minWidth = scaled.minHeight = 16;
    ASSERT_TRUE(decodeJpeg(bytes, out, error, scaled)) << error;
    EXPECT_EQ(out.size(), QSize(16, 16));
    JpegDecodeOptions options;
    options.limits.maxScans = 2;
    EXPECT_FALSE(decodeJpeg(bytes, out, error, options));
    EXPECT_NE(error.find("scans"), std::string::npos) << error;
}

TEST(PictureFiles, RecognisedByContentNotName) {
    test::TempDir dir;
    const QImage picture = test::testPicture(16, 8);
    jpegBytes(dir, gradient(32, 16), "IMG_0001.JPG");
    test::BmpLayout layout;
    layout.width = 16;
    layout.height = 8;
    layout.pixels = test::packPixels(picture, 24);
    dir.write("x.jpg.d/picture.bmp", test::asString(test::buildBmp(layout)));
    dir.write("really-a-bmp.jpg", test::asString(test::buildBmp(layout)));
    dir.write("text.bmp", "just some text");

    WorkBuff buffer;
    EXPECT_TRUE(buffer.InitWorkBuffFromFile(dir.file("IMG_0001.JPG"), 0));
    EXPECT_EQ(buffer.Width(), 32);
    EXPECT_TRUE(buffer.InitWorkBuffFromFile(dir.file("x.jpg.d/picture.bmp"), 0));
    EXPECT_EQ(buffer.Width(), 16);
    EXPECT_EQ(QColor(rasterkit::pixels(buffer.hBMP())->pixel(3, 2)), QColor(picture.pixel(3, 2)));
    EXPECT_TRUE(buffer.InitWorkBuffFromFile(dir.file("really-a-bmp.jpg"), 0));
    EXPECT_FALSE(buffer.InitWorkBuffFromFile(dir.file("text.bmp"), 0));
    EXPECT_EQ(buffer.Width(), 0);
    EXPECT_FALSE(buffer.InitWorkBuffFromFile(dir.path(), 0)); // a folder
    // Scaled loading for previews.
    EXPECT_TRUE(buffer.InitWorkBuffFromFileScaled(dir.file("IMG_0001.JPG"), 0, 8, 4));
    EXPECT_EQ(buffer.Width(), 8);
}

namespace {

// A photo-like picture (gradients under noise) in a progressive JPEG of
// libjpeg's usual scan order: DC, luma and chroma AC scans, refinements.
std::vector<std::uint8_t> progressivePhoto(const test::TempDir& dir, int width, int height,
                                           ChromaSampling chroma, const char* name,
                                           bool noisy = true) {
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = noisy ? static_cast<int>(seed >> 26) : 0;
            image.setPixel(x, y,
                           qRgb((x * 255 / width + noise) & 255,
                                (y * 255 / height + 2 * noise) & 255, (x ^ y) & 255));
        }
    JpegEncodeOptions options;
    options.quality = 92;
    options.progressive = true;
    options.chroma = chroma;
    std::string error;
    EXPECT_TRUE(writeJpeg(dir.file(name), image, options, error)) << error;
    const std::string s = dir.read(name);
    return {s.begin(), s.end()};
}

// Bytes of a stream made of ranges.
std::vector<std::uint8_t> joined(const std::vector<std::uint8_t>& bytes,
                                 const std::vector<ByteRange>& ranges) {
    std::vector<std::uint8_t> out;
    for (const ByteRange& r : ranges)
        out.insert(out.end(), bytes.begin() + static_cast<long>(r.from),
                   bytes.begin() + static_cast<long>(r.to));
    return out;
}

} // namespace

TEST(JpegSeveralDecoders, GiveTheSamePixelsAsOneDecoder) {
    test::TempDir dir;
    bool lumaShared = false, lumaInOne = false;
    // Sizes that leave partial blocks and MCUs; 4:2:0, 4:2:2 and 4:4:4 colour.
    using enum ChromaSampling;
    for (const auto& [width, height, chroma] :
         {std::tuple{203, 117, Quarter}, std::tuple{160, 96, Full}, std::tuple{97, 203, Across},
          std::tuple{301, 77, Across}, std::tuple{24, 16, Quarter}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const auto bytes = progressivePhoto(dir, width, height, chroma, "p.jpg");
        ProgressiveSplit split;
        ASSERT_TRUE(planProgressiveSplit(bytes, split, 100));
        // Each stream is a JPEG file of its own, beginning and ending as one.
        for (const auto* ranges : {&split.luma, &split.chroma}) {
            const auto stream = joined(bytes, *ranges);
            ASSERT_GE(stream.size(), 4u);
            EXPECT_EQ(stream[0], 0xFF);
            EXPECT_EQ(stream[1], 0xD8);
            EXPECT_EQ(stream[stream.size() - 1], 0xD9);
        }
        // At full size both decode at the same scale: the pixels must be equal,
        // whether the luma scans were shared out between two decoders or not.
        (split.lumaLate.empty() ? lumaInOne : lumaShared) = true;
        QImage one, several;
        std::string error;
        ASSERT_TRUE(decodeJpegFitted(bytes, {width, height}, FitMode::Stretch, one, error))
            << error;
        ASSERT_TRUE(decodeJpegFitted(bytes, {width, height}, FitMode::Stretch, several, error, {},
                                     JpegThreads::Several))
            << error;
        EXPECT_EQ(maxDifference(one, several), 0);
        // Smaller targets: the several decoders halve in the DCT, one decoder
        // does not; on a smooth picture the results still agree closely.
        const auto smooth = progressivePhoto(dir, width, height, chroma, "s.jpg", false);
        const QSize half(width / 2 - 3, height / 2 - 5);
        ASSERT_TRUE(decodeJpegFitted(smooth, half, FitMode::Cover, one, error)) << error;
        ASSERT_TRUE(decodeJpegFitted(smooth, half, FitMode::Cover, several, error, {},
                                     JpegThreads::Several))
            << error;
        EXPECT_LE(meanDifference(one, several), 4.0);
    }
    EXPECT_TRUE(lumaShared && lumaInOne) << "both plans should be covered";
}

TEST(JpegSeveralDecoders, OnlyWellFormedProgressiveColourFilesAreSplit) {
    test::TempDir dir;
    const auto progressive = progressivePhoto(dir, 64, 48, ChromaSampling::Quarter, "p.jpg");
    ProgressiveSplit split;
    EXPECT_TRUE(planProgressiveSplit(progressive, split, 100));
    EXPECT_FALSE(planProgressiveSplit(progressive, split, 5)); // more scans than allowed
    EXPECT_FALSE(planProgressiveSplit(jpegBytes(dir, gradient(64, 48)), split, 100)); // baseline
    // A grey progressive file has one component.
    QImage grey = gradient(64, 48).convertToFormat(QImage::Format_Grayscale8);
    QImageWriter writer(QString::fromStdString(dir.file("grey.jpg")), "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(grey));
    const std::string g = dir.read("grey.jpg");
    EXPECT_FALSE(planProgressiveSplit(std::vector<std::uint8_t>(g.begin(), g.end()), split, 100));
    // Cut anywhere, the file is not split (the single decoder says what is wrong).
    for (std::size_t n = 0; n + 1 < progressive.size(); n += 7) {
        const std::vector<std::uint8_t> cut(progressive.begin(),
                                            progressive.begin() + static_cast<long>(n));
        EXPECT_FALSE(planProgressiveSplit(cut, split, 100)) << "cut at " << n;
    }
    // A refinement scan before the scan it refines: out of order, not split.
    std::vector<std::uint8_t> reordered = progressive;
    std::vector<std::size_t> scans;
    for (std::size_t i = 2; i + 1 < reordered.size(); ++i)
        if (reordered[i] == 0xFF && reordered[i + 1] == 0xDA)
            scans.push_back(i);
    ASSERT_GE(scans.size(), 3u);
    const std::size_t alAh = scans[1] + 2 + 2 + 1 + 2 + 2; // second scan: one component
    reordered[alAh] = 0x32;                                // claims Ah = 3, Al = 2
    EXPECT_FALSE(planProgressiveSplit(reordered, split, 100));
}

TEST(JpegSeveralDecoders, DamagedFilesFailOrDecodeAsWithOneDecoder) {
    test::TempDir dir;
    const auto bytes = progressivePhoto(dir, 120, 80, ChromaSampling::Across, "p.jpg");
    std::uint32_t seed = 99;
    for (int trial = 0; trial < 150; ++trial) {
        std::vector<std::uint8_t> damaged = bytes;
        for (int k = 0; k < 1 + trial % 3; ++k) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t at = 600 + seed % (damaged.size() - 600); // past the tables
            damaged[at] = static_cast<std::uint8_t>(damaged[at] ^ (1u << (seed >> 29)));
        }
        QImage one, several;
        std::string error;
        const bool oneOk = decodeJpegFitted(damaged, {60, 40}, FitMode::Cover, one, error);
        const bool severalOk = decodeJpegFitted(damaged, {60, 40}, FitMode::Cover, several, error,
                                                {}, JpegThreads::Several);
        EXPECT_EQ(oneOk, severalOk) << "trial " << trial;
        EXPECT_EQ(several.isNull(), !severalOk);
    }
    // Truncated anywhere: a failure with a reason, never a grey lower half.
    for (std::size_t n = 0; n < bytes.size(); n += 97) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        QImage out;
        std::string error;
        EXPECT_FALSE(
            decodeJpegFitted(cut, {60, 40}, FitMode::Cover, out, error, {}, JpegThreads::Several));
        EXPECT_FALSE(error.empty());
    }
}

TEST(PictureFiles, PngChunkLongerThanTheFileIsRefused) {
    QImage picture = test::testPicture(12, 8);
    picture.setText("Title", "Harbour");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "png"));
    auto bytes = [](const QByteArray& a) { return std::vector<std::uint8_t>(a.begin(), a.end()); };
    QImage out;
    std::string error;
    ASSERT_TRUE(decodePicture(bytes(png), out, error)) << error;
    EXPECT_EQ(out.size(), picture.size());

    // The text chunk's length says 1.1 GB in a file of a few hundred bytes:
    // the PNG reader would allocate all of it before finding the file short.
    const qsizetype text = png.indexOf("tEXt");
    ASSERT_GT(text, 4);
    QByteArray lying = png;
    lying[text - 4] = 'E';
    lying[text - 3] = 'X';
    EXPECT_FALSE(decodePicture(bytes(lying), out, error));
    EXPECT_NE(error.find("chunk is longer than the file"), std::string::npos) << error;

    // Picture data cut short is the reader's to report, as before.
    const QByteArray cut = png.left(png.indexOf("IDAT") + 20);
    error.clear();
    EXPECT_FALSE(decodePicture(bytes(cut), out, error));
    EXPECT_EQ(error.find("chunk is longer than the file"), std::string::npos) << error;
}
