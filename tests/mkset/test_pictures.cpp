// Decoding, orientation, previews and damaged input.

#include "TestPictures.h"
#include "tests/graphics/RawJpeg.h"
#include "tests/support/TempDir.h"

#include "graphics/io/BmpCodec.h"
#include "graphics/io/JpegHeader.h"
#include "graphics/io/Orientation.h"
#include "graphics/io/Resample.h"
#include "imagesets/maker/Picture.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace skyloom::mkset;
using namespace skyloom::test;
namespace graphics = skyloom::graphics;

namespace {

QImage decodeBmp(const std::string& bmp) {
    QImage q;
    if (!q.loadFromData(reinterpret_cast<const uchar*>(bmp.data()), int(bmp.size()), "BMP"))
        return {};
    return q.convertToFormat(QImage::Format_RGB32);
}

std::string bmpOf(const QImage& image) {
    const std::vector<std::uint8_t> bytes = graphics::encodeBmp24(image);
    return {bytes.begin(), bytes.end()};
}

QImage decodeJpeg(const std::string& bytes, int minWidth, int minHeight, std::string& error) {
    return decodeJpegAtLeast(bytes, {minWidth, minHeight}, error);
}

std::optional<graphics::JpegHeader> readJpegInfo(const std::string& bytes, std::string& error) {
    graphics::JpegHeader header;
    if (!graphics::readJpegHeader(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, header, error))
        return std::nullopt;
    return header;
}

std::string checkJpegStructure(const std::string& bytes) {
    return graphics::checkJpegStructure(
        {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

} // namespace

TEST(Raster, EveryExifOrientationPutsTheStoredTopLeftCornerWhereItBelongs) {
    // A 4 x 2 picture, green in the stored top-left pixel only.
    QImage img = twoHalves(4, 2, kRed, kRed);
    img.setPixel(0, 0, 0xFF000000u | kGreen);
    struct Case {
        int orientation, w, h, x, y; // upright size, where the green pixel lands
    };
    for (Case c :
         {Case{1, 4, 2, 0, 0}, Case{2, 4, 2, 3, 0}, Case{3, 4, 2, 3, 1}, Case{4, 4, 2, 0, 1},
          Case{5, 2, 4, 0, 0}, Case{6, 2, 4, 1, 0}, Case{7, 2, 4, 1, 3}, Case{8, 2, 4, 0, 3},
          Case{0, 4, 2, 0, 0}, Case{9, 4, 2, 0, 0}}) {
        QImage out = graphics::applyOrientation(img, c.orientation);
        ASSERT_EQ(out.width(), c.w) << c.orientation;
        ASSERT_EQ(out.height(), c.h) << c.orientation;
        EXPECT_EQ(colourAt(out, c.x, c.y), kGreen) << "orientation " << c.orientation;
        const QSize s = graphics::orientedSize({4, 2}, c.orientation);
        EXPECT_EQ(s.width(), c.w);
    }
}

TEST(Raster, PreviewSizesKeepTheAspectAndStayWithinTheBox) {
    auto fit = [](int w, int h) {
        QSize s = fitWithin({w, h}, kPreviewWidth, kPreviewHeight);
        return std::to_string(s.width()) + "x" + std::to_string(s.height());
    };
    EXPECT_EQ(fit(5640, 3172), "160x90");
    EXPECT_EQ(fit(1600, 1200), "160x120");
    EXPECT_EQ(fit(1000, 2000), "60x120");
    EXPECT_EQ(fit(100, 50), "100x50");  // never enlarged
    EXPECT_EQ(fit(100000, 3), "160x1"); // never 0 high
    // Averaging: a red/blue picture shrunk to 2 x 1 keeps both colours.
    QImage small = graphics::shrinkByAveraging(twoHalves(300, 40, kRed, kBlue), {2, 1});
    EXPECT_EQ(colourAt(small, 0, 0), kRed);
    EXPECT_EQ(colourAt(small, 1, 0), kBlue);
}

TEST(Bmp, PreviewIsA24BitBitmapThatQtReadsWithPaddedRows) {
    QImage img = twoHalves(3, 2, kRed, kBlue); // 9 bytes a row, padded to 12
    setGreen(img, 0, 1, 0x80);                 // bottom-left pixel: red + some green
    const std::string bmp = bmpOf(img);
    ASSERT_EQ(bmp.size(), 54u + 2 * 12);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp[28], 24); // bits per pixel
    EXPECT_EQ(std::string(bmp.data() + 54, 3),
              std::string("\x00\x80\xFF", 3)); // bottom row first, BGR
    QImage back = decodeBmp(bmp);
    ASSERT_EQ(back.width(), 3);
    EXPECT_EQ(colourAt(back, 0, 0), kRed);
    EXPECT_EQ(colourAt(back, 2, 0), kBlue);
    EXPECT_EQ(colourAt(back, 0, 1), 0xFF8000u);
}

TEST(Jpeg, ScaledDecodingPicksTheSmallestScaleThatStillCoversThePreview) {
    const std::string jpeg = jpegOf(twoHalves(800, 600, kRed, kBlue));
    std::string error;
    QImage eighth = decodeJpeg(jpeg, 100, 75, error);
    EXPECT_EQ(eighth.width(), 100);
    EXPECT_EQ(eighth.height(), 75);
    QImage quarter = decodeJpeg(jpeg, 101, 75, error);
    EXPECT_EQ(quarter.width(), 200);
    QImage full = decodeJpeg(jpeg, 100000, 100000, error);
    EXPECT_EQ(full.width(), 800);
    EXPECT_TRUE(near(colourAt(full, 10, 10), kRed));
    EXPECT_TRUE(near(colourAt(full, 790, 590), kBlue));
}

TEST(Jpeg, ProgressivePreviewFromTheFirstScansMatchesTheFullDecode) {
    // Stripes, so that a wrong or missing DC scan shows.
    QImage img = twoHalves(640, 480, kRed, kBlue);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if ((y / 64) % 2)
                setGreen(img, x, y, 200);
    const std::string progressive = jpegOf(img, {}, true);
    std::string error;
    auto info = readJpegInfo(progressive, error);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->progressive);
    QImage small = decodeJpeg(progressive, 80, 60, error);
    QImage reference =
        graphics::shrinkByAveraging(decodeJpeg(progressive, 100000, 100000, error), {80, 60});
    ASSERT_EQ(small.width(), 80);
    ASSERT_EQ(small.height(), 60);
    int far = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            far += !near(colourAt(small, x, y), colourAt(reference, x, y), 40);
    EXPECT_LT(far, 80 * 60 / 50); // edges of blocks may differ a little
}

TEST(Jpeg, DamagedStreamsGiveMessagesNotCrashes) {
    const std::string good = jpegOf(twoHalves(64, 64, kRed, kBlue), {}, false);
    const std::string progressive = jpegOf(twoHalves(256, 256, kRed, kBlue), {}, true);
    EXPECT_EQ(checkJpegStructure(good), "");
    std::string error;
    // Truncated: the structure check and the decoder both refuse it.
    for (const std::string* src : {&good, &progressive}) {
        const std::string cut = src->substr(0, src->size() * 2 / 3);
        EXPECT_NE(checkJpegStructure(cut).find("truncated"), std::string::npos);
        error.clear();
        EXPECT_TRUE(decodeJpeg(cut, 1000, 1000, error).isNull());
        EXPECT_NE(error, "");
        EXPECT_FALSE(preparePicture(cut, "cut", error));
        EXPECT_NE(error.find("truncated"), std::string::npos) << error;
    }
    // Garbage after the start marker, and every short prefix of a file.
    EXPECT_NE(checkJpegStructure(std::string("\xFF\xD8\xFF\xC0\x00", 5) + std::string(50, 'x')),
              "");
    for (std::size_t n = 0; n < 200; n += 7)
        EXPECT_FALSE(preparePicture(good.substr(0, n), "short", error));
    // Scrambled entropy data with the markers intact: libjpeg's errors and
    // warnings come back, the process goes on.
    std::string scrambled = good;
    for (std::size_t i = scrambled.size() / 2; i < scrambled.size() - 10; i += 3)
        if (scrambled[i] != '\xFF' && scrambled[i - 1] != '\xFF')
            scrambled[i] = char(scrambled[i] ^ 0x5A);
    error.clear();
    decodeJpeg(scrambled, 8, 8, error); // a picture or an error, never an exit
}

TEST(Picture, RandomlyDamagedJpegAndPngFilesAreMadeOrRefusedWithAReason) {
    QImage img = twoHalves(96, 64, kRed, kBlue);
    for (int y = 0; y < 64; ++y)
        setGreen(img, y, y, 255);
    const std::string sources[] = {jpegOf(img, {exifSegment(6, "x"), iptcSegment("a", "b")}),
                                   jpegOf(img, {xmpSegment("t", "d")}, true), pngOf(img, 128)};
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int refused = 0;
    for (int round = 0; round < 600; ++round) {
        std::string bytes = sources[round % 3];
        const int changes = 1 + int(next() % 8);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = next() % bytes.size();
            if (next() % 4 == 0)
                bytes.erase(at, 1 + next() % 64);
            else
                bytes[at] = char(next());
        }
        std::string error;
        auto p = preparePicture(bytes, "damaged", error);
        if (p) {
            EXPECT_FALSE(p->preview.empty());
        } else {
            EXPECT_NE(error, "");
            ++refused;
        }
    }
    EXPECT_GT(refused, 100);
}

// What the maker makes, the saver shows: a plain JPEG with damaged data is
// copied into the set as it is, so the maker refuses what the saver's
// fitted decoder would refuse.
TEST(Picture, DamagedJpegsTheMakerAcceptsTheSaverDecodes) {
    QImage img(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 37) & 255, (y * 59) & 255, (x * y) & 255));
    const std::string source = jpegOf(img);
    const std::size_t scan = source.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    std::uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int made = 0, refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes = source;
        // Damage inside the entropy-coded data only: the structure stays whole.
        const std::size_t span = bytes.size() - 2 - (scan + 20);
        for (int c = 0; c < 1 + int(next() % 3); ++c) {
            const std::size_t at = scan + 20 + next() % span;
            const char value = char(next());
            if (static_cast<unsigned char>(value) != 0xFF)
                bytes[at] = value;
        }
        std::string error;
        const bool maker = preparePicture(bytes, "damaged", error).has_value();
        QImage shown;
        const bool saver = graphics::decodeJpegFitted(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, {320, 240},
            graphics::FitMode::Stretch, shown, error);
        if (maker) {
            ++made;
            EXPECT_TRUE(saver) << "round " << round << ": made, but the saver says " << error;
        } else {
            ++refused;
        }
    }
    EXPECT_GT(refused, 10);
    EXPECT_GT(made, 10);
}

TEST(Jpeg, HugeDimensionsAreRefusedBeforeAnythingIsAllocated) {
    std::string jpeg = jpegOf(twoHalves(16, 16, kRed, kBlue));
    const std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 7] = char(0xEA); // 60000 x 60000
    jpeg[sof + 6] = jpeg[sof + 8] = char(0x60);
    std::string error;
    EXPECT_FALSE(preparePicture(jpeg, "huge", error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_TRUE(decodeJpeg(jpeg, 1, 1, error).isNull());
}

// The maker refuses what the saver would refuse later: more scans than the
// saver decodes (even though a preview needs only the first scans) and a
// side beyond the saver's limit.
TEST(Jpeg, PicturesBeyondTheSaversLimitsAreRefusedWithTheReason) {
    const std::string progressive = jpegOf(twoHalves(64, 48, kRed, kBlue), {}, true);
    const std::size_t lastScan = progressive.rfind("\xFF\xDA");
    const std::size_t end = progressive.rfind("\xFF\xD9");
    ASSERT_NE(lastScan, std::string::npos);
    ASSERT_LT(lastScan, end);
    std::string error;
    ASSERT_TRUE(preparePicture(progressive, "fine", error)) << error;

    // The last scan repeated until the file has well over a hundred.
    std::string many = progressive.substr(0, end);
    for (int i = 0; i < 120; ++i)
        many += progressive.substr(lastScan, end - lastScan);
    many += "\xFF\xD9";
    EXPECT_FALSE(preparePicture(many, "scans", error));
    EXPECT_EQ(error, "JPEG has more than 100 scans");

    std::string wide = jpegOf(twoHalves(16, 16, kRed, kBlue));
    const std::size_t sof = wide.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    wide[sof + 7] = char(0xFE); // 16 x 65100
    wide[sof + 8] = char(0x4C);
    EXPECT_FALSE(preparePicture(wide, "wide", error));
    EXPECT_NE(error.find("too large (65100 x 16"), std::string::npos) << error;
}

// Fine detail does not alias in a preview: one-pixel stripes shrink to an
// even grey (a mean over whole pixels gave bands of 85 and 170).
TEST(Picture, PreviewOfFineStripesIsAnEvenGrey) {
    QImage stripes(601, 400, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    std::string error;
    const auto made = preparePicture(pngOf(stripes), "stripes", error);
    ASSERT_TRUE(made) << error;
    const QImage preview = decodeBmp(made->preview);
    ASSERT_EQ(preview.size(), QSize(160, 106));
    int lowest = 255, highest = 0;
    for (int y = 4; y < preview.height() - 4; ++y)
        for (int x = 4; x < preview.width() - 4; ++x) {
            lowest = std::min(lowest, qGray(preview.pixel(x, y)));
            highest = std::max(highest, qGray(preview.pixel(x, y)));
        }
    EXPECT_GE(lowest, 118);
    EXPECT_LE(highest, 138);
}

TEST(Picture, SidewaysPhotoIsStoredUprightAndUnturnedOneIsKeptAsItIs) {
    // Stored 200 x 100, red left, blue right; orientation 6 shows it turned
    // clockwise: 100 x 200, red on top.
    const std::string sideways = jpegOf(twoHalves(200, 100, kRed, kBlue), {exifSegment(6, "")});
    std::string error;
    auto p = preparePicture(sideways, "sideways", error);
    ASSERT_TRUE(p) << error;
    EXPECT_EQ(p->size.width(), 100);
    EXPECT_EQ(p->size.height(), 200);
    QImage preview = decodeBmp(p->preview);
    ASSERT_EQ(preview.width(), 60);
    ASSERT_EQ(preview.height(), 120);
    EXPECT_TRUE(near(colourAt(preview, 30, 5), kRed));
    EXPECT_TRUE(near(colourAt(preview, 30, 115), kBlue));
    ASSERT_FALSE(p->encoded.empty());
    QImage stored = decodeJpeg(p->encoded, 100000, 100000, error);
    ASSERT_EQ(stored.width(), 100);
    EXPECT_TRUE(near(colourAt(stored, 50, 10), kRed));
    auto info = readJpegInfo(p->encoded, error);
    EXPECT_TRUE(info->markers.empty()); // no orientation left to apply twice

    auto upright = preparePicture(jpegOf(twoHalves(200, 100, kRed, kBlue), {exifSegment(1, "")}),
                                  "upright", error);
    ASSERT_TRUE(upright);
    EXPECT_TRUE(upright->encoded.empty()); // stored as it is, never re-encoded
    EXPECT_EQ(decodeBmp(upright->preview).width(), 160);
}

TEST(Picture, PngIsConvertedWithTransparencyOnBlackAndDamagedPngIsRefused) {
    const std::string png = pngOf(twoHalves(40, 20, 0xFFFFFF, kBlue), 0, {{"Title", "Glass"}});
    std::string error;
    auto p = preparePicture(png, "glass", error);
    ASSERT_TRUE(p) << error;
    EXPECT_EQ(p->kind, PictureKind::Png);
    EXPECT_EQ(p->title.title, "Glass");
    QImage stored = decodeJpeg(p->encoded, 1000, 1000, error);
    ASSERT_EQ(stored.width(), 40);
    EXPECT_TRUE(near(colourAt(stored, 5, 5), 0x000000)); // fully transparent white -> black
    EXPECT_FALSE(preparePicture(png.substr(0, png.size() - 30), "cut", error));
    EXPECT_NE(error, "");
    EXPECT_FALSE(preparePicture("just some text\n", "notes", error));
    EXPECT_EQ(error, "not a JPEG or PNG picture");
}

TEST(Picture, PanoramasGetDirectionAndCentredOriginBeforeTheTitle) {
    EXPECT_EQ(panoramaFor({4000, 1000}).direction, "LeftToRight");
    EXPECT_EQ(panoramaFor({4000, 1000}).origin, (4000 - 1777) / 2);
    EXPECT_EQ(panoramaFor({1000, 2000}).direction, "TopToBottom");
    EXPECT_EQ(panoramaFor({1000, 2000}).origin, (2000 - 750) / 2);
    EXPECT_EQ(panoramaFor({1999, 1000}).direction, "");
    EXPECT_EQ(panoramaFor({2000, 1000}).direction, "LeftToRight");
    EXPECT_EQ(panoramaFor({2000, 1000}).origin, (2000 - 1777) / 2);
    EXPECT_EQ(nfoText({"Bay", "Evening light."}, panoramaFor({4000, 1000})),
              "[Panoramic]\nPanDirection=LeftToRight\nPanoramicOrigin=1111\n\n"
              "English=Bay\n\nEvening light.\n");
    EXPECT_EQ(nfoText({"Bay", ""}, {}), "English=Bay\n");
}

TEST(Picture, PrintReadyCmykPhotoIsStoredInColoursWithItsPreview) {
    // Inverted CMYK as Photoshop writes it: red left (no cyan), blue right
    // (no yellow), with Adobe's marker.
    TempDir dir;
    const std::string path = dir.file("inks.jpg");
    RawJpeg picture;
    picture.width = 64;
    picture.height = 32;
    picture.components = 4;
    picture.input = JCS_CMYK;
    picture.setUp = [](jpeg_compress_struct& c) {
        jpeg_set_colorspace(&c, JCS_YCCK);
        c.write_Adobe_marker = TRUE;
    };
    picture.row = [](int, JSAMPLE* row) {
        for (int x = 0; x < 64; ++x) {
            const int ink[4] = {x < 32 ? 0 : 255, 255, x < 32 ? 255 : 0, 0};
            for (int i = 0; i < 4; ++i)
                row[x * 4 + i] = JSAMPLE(255 - ink[i]);
        }
    };
    ASSERT_EQ(writeRawJpeg(path, picture), "");
    std::string error;
    auto p = preparePicture(TempDir::readPath(path), "inks", error);
    ASSERT_TRUE(p) << error;
    ASSERT_FALSE(p->encoded.empty()); // not in RGB colours: converted
    const QImage stored = decodeJpeg(p->encoded, 1000, 1000, error);
    ASSERT_EQ(stored.width(), 64);
    EXPECT_TRUE(near(colourAt(stored, 8, 16), kRed)) << std::hex << colourAt(stored, 8, 16);
    EXPECT_TRUE(near(colourAt(stored, 56, 16), kBlue)) << std::hex << colourAt(stored, 56, 16);
    const QImage preview = decodeBmp(p->preview);
    ASSERT_EQ(preview.width(), 64);
    EXPECT_TRUE(near(colourAt(preview, 8, 16), kRed));
    EXPECT_TRUE(near(colourAt(preview, 56, 16), kBlue));
}
