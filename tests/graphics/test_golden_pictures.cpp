// Golden outputs of the picture stack: the committed pictures in golden/
// (made by make_golden_pictures) are decoded and resampled along every
// path the programs use, and a hash of each result's pixels is compared
// with the value stored below. Paths that must agree are also compared with
// each other: exactly where they compute the same thing, within a stated
// tolerance where they legitimately differ (DCT-domain scaling against
// decoding in full and resampling).
//
// The stored hashes are golden/hashes.inc, one row per picture and path.
// When a decoder or resampler change is meant to alter pixels, rewrite it:
//   SKYLOOM_GOLDEN_WRITE=tests/graphics/golden/hashes.inc build/tests/test_golden_pictures
// then check with git diff that the changed rows are the ones the change
// explains, and commit the file with the change.

#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"

#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using namespace skyloom::graphics;

namespace {

const std::filesystem::path kDir(SKYLOOM_GOLDEN_DIR);

struct Golden {
    const char* file;
    const char* path;
    int width, height;
    std::uint64_t hash;
};

// clang-format off
const std::vector<Golden> kGolden = {
#include "golden/hashes.inc"
};
// clang-format on

// FNV-1a over the colour channels, row by row (the alpha byte and any row
// padding are left out).
std::uint64_t pixelHash(const QImage& image) {
    std::uint64_t h = 1469598103934665603ull;
    auto add = [&h](std::uint8_t b) {
        h ^= b;
        h *= 1099511628211ull;
    };
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            add(static_cast<std::uint8_t>(qRed(row[x])));
            add(static_cast<std::uint8_t>(qGreen(row[x])));
            add(static_cast<std::uint8_t>(qBlue(row[x])));
        }
    }
    return h;
}

// Largest difference in any channel, and the mean difference per channel.
struct Difference {
    int max = 0;
    double mean = 0;
};
Difference difference(const QImage& a, const QImage& b) {
    Difference d;
    if (a.size() != b.size())
        return {256, 256};
    long long total = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int c : {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))}) {
                d.max = std::max(d.max, c);
                total += c;
            }
        }
    d.mean = a.isNull() ? 0 : double(total) / (3.0 * a.width() * a.height());
    return d;
}

std::vector<std::uint8_t> fileBytes(const std::string& name) {
    FileBytes file((kDir / name).string());
    EXPECT_TRUE(file.ok()) << name << ": " << file.error();
    return {file.bytes().begin(), file.bytes().end()};
}

QImage resampled(const QImage& src, int w, int h, ShrinkKernel kernel) {
    QImage dst(w, h, QImage::Format_RGB32);
    dst.fill(Qt::black);
    resampleRect(src, 0, 0, src.width(), src.height(), dst, 0, 0, w, h, kernel);
    return dst;
}

// Collects the result of every path: "file | path" -> picture.
class GoldenRun {
public:
    void add(const std::string& file, const std::string& path, const QImage& image) {
        results_.emplace_back(file, path, image);
    }
    struct Result {
        std::string file, path;
        QImage image;
        Result(std::string f, std::string p, QImage i)
            : file(std::move(f)), path(std::move(p)), image(std::move(i)) {}
    };
    const std::vector<Result>& results() const { return results_; }

private:
    std::vector<Result> results_;
};

const char* kJpegs[] = {
    "baseline-420.jpg",           "baseline-422.jpg",    "baseline-444.jpg",     "grey.jpg",
    "progressive-420.jpg",        "progressive-444.jpg", "progressive-grey.jpg", "restart-420.jpg",
    "progressive-restart-420.jpg"};
const char* kBmps[] = {"rgb24.bmp",        "rgb24-topdown.bmp",  "rgb24-os2.bmp",
                       "rgb32.bmp",        "bitfields32-v4.bmp", "rgb555.bmp",
                       "bitfields565.bmp", "indexed8.bmp",       "indexed4.bmp",
                       "rle8.bmp",         "rle4.bmp",           "indexed1.bmp"};

struct Fit {
    const char* name;
    QSize size;
    FitMode mode;
};
const Fit kFits[] = {{"fitted cover 40x30", {40, 30}, FitMode::Cover},
                     {"fitted cover 16x16", {16, 16}, FitMode::Cover},
                     {"fitted stretch 120x20", {120, 20}, FitMode::Stretch}};

const QImage* find(const GoldenRun& run, const std::string& file, const std::string& path) {
    for (const auto& r : run.results())
        if (r.file == file && r.path == path)
            return &r.image;
    return nullptr;
}

// Every JPEG along every decoding path; paths that must give the same
// pixels are checked against each other on the way.
void runJpegs(GoldenRun& run) {
    for (const char* name : kJpegs) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = fileBytes(name);
        std::string error;
        QImage full;
        ASSERT_TRUE(decodePicture(bytes, full, error)) << name << ": " << error;
        run.add(name, "full", full);
        for (auto [label, divisor] : {std::pair{"dct 1/2", 2}, {"dct 1/4", 4}, {"dct 1/8", 8}}) {
            JpegDecodeOptions options;
            options.minWidth = (full.width() + divisor - 1) / divisor;
            options.minHeight = (full.height() + divisor - 1) / divisor;
            QImage scaled;
            ASSERT_TRUE(decodeJpeg(bytes, scaled, error, options)) << name << " " << label;
            run.add(name, label, scaled);
            if (scaled.width() == full.width())
                continue; // the single decoder does not halve progressive files
            // DCT scaling and a box average of the same source area see the
            // same picture: on average within 12 of 255 per channel (edges of
            // the chequered part differ most, more with subsampled chroma).
            QImage box(scaled.size(), QImage::Format_RGB32);
            resampleRect(full, 0, 0, scaled.width() * divisor, scaled.height() * divisor, box, 0, 0,
                         scaled.width(), scaled.height(), ShrinkKernel::Box);
            EXPECT_LE(difference(scaled, box).mean, 12.0)
                << name << " " << label << " against a box-shrunk full decode";
        }
        for (const Fit& fit : kFits) {
            QImage one, several, streamed;
            ASSERT_TRUE(decodeJpegFitted(bytes, fit.size, fit.mode, one, error))
                << name << " " << fit.name << ": " << error;
            run.add(name, fit.name, one);
            ASSERT_TRUE(decodeJpegFitted(bytes, fit.size, fit.mode, several, error, {},
                                         JpegThreads::Several));
            run.add(name, std::string(fit.name) + " split", several);
            ASSERT_TRUE(
                decodeJpegFittedFile((kDir / name).string(), fit.size, fit.mode, streamed, error));
            EXPECT_EQ(pixelHash(streamed), pixelHash(one))
                << name << " " << fit.name << ": reading the file in pieces differs";
            ASSERT_TRUE(decodeJpegFittedFile((kDir / name).string(), fit.size, fit.mode, streamed,
                                             error, {}, JpegThreads::Several));
            EXPECT_EQ(pixelHash(streamed), pixelHash(several))
                << name << " " << fit.name << ": split decoders reading the file differ";
            setVectorPathsEnabled(false);
            QImage plain;
            decodeJpegFitted(bytes, fit.size, fit.mode, plain, error);
            setVectorPathsEnabled(true);
            EXPECT_EQ(pixelHash(plain), pixelHash(one))
                << name << " " << fit.name << ": the plain resampler differs from the vector one";
            if (fit.mode == FitMode::Stretch) {
                // A target wider than the picture needs the full scale: the
                // streaming fit is then the full decode resampled, exactly
                // (progressive files: our own decoder, whose inverse DCT
                // rounds a little differently from libjpeg's).
                const Difference d =
                    difference(one, resampled(full, fit.size.width(), fit.size.height(),
                                              ShrinkKernel::Lanczos3));
                const int allowed = std::string_view(name).starts_with("progressive") ? 2 : 0;
                EXPECT_LE(d.max, allowed) << name << " " << fit.name << " against the full decode";
            }
        }
    }
}

void runBmps(GoldenRun& run) {
    for (const char* name : kBmps) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = fileBytes(name);
        QImage image;
        std::string error;
        ASSERT_TRUE(decodeBmp(bytes, image, error)) << name << ": " << error;
        run.add(name, "decoded", image);
        run.add(name, "resampled lanczos 20x12", resampled(image, 20, 12, ShrinkKernel::Lanczos3));
        run.add(name, "resampled box 20x12", resampled(image, 20, 12, ShrinkKernel::Box));
        run.add(name, "resampled 60x40", resampled(image, 60, 40, ShrinkKernel::Lanczos3));
        setVectorPathsEnabled(false);
        for (auto [w, h] : {std::pair{20, 12}, {60, 40}})
            EXPECT_EQ(pixelHash(resampled(image, w, h, ShrinkKernel::Lanczos3)),
                      pixelHash(*find(run, name,
                                      w == 20 ? "resampled lanczos 20x12" : "resampled 60x40")))
                << name << " " << w << "x" << h << ": the plain resampler differs";
        setVectorPathsEnabled(true);
    }
}

class GoldenPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        run_ = new GoldenRun;
        runJpegs(*run_);
        runBmps(*run_);
        if (const char* table = std::getenv("SKYLOOM_GOLDEN_WRITE"); table && *table) {
            std::FILE* out = std::fopen(table, "w");
            ASSERT_TRUE(out) << "cannot write " << table;
            for (const auto& r : run_->results())
                std::fprintf(out, "{\"%s\", \"%s\", %d, %d, 0x%016llxull},\n", r.file.c_str(),
                             r.path.c_str(), r.image.width(), r.image.height(),
                             static_cast<unsigned long long>(pixelHash(r.image)));
            std::fclose(out);
        }
    }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static GoldenRun* run_;
};
GoldenRun* GoldenPictures::run_ = nullptr;

} // namespace

TEST_F(GoldenPictures, EveryPathGivesTheStoredPixels) {
    std::map<std::pair<std::string, std::string>, const Golden*> stored;
    for (const Golden& g : kGolden)
        stored[{g.file, g.path}] = &g;
    for (const auto& r : run_->results()) {
        auto it = stored.find({r.file, r.path});
        if (it == stored.end()) {
            ADD_FAILURE() << r.file << " " << r.path << ": no stored hash";
            continue;
        }
        const Golden& g = *it->second;
        EXPECT_EQ(r.image.size(), QSize(g.width, g.height))
            << r.file << " " << r.path << ": decoded at another size";
        EXPECT_EQ(pixelHash(r.image), g.hash)
            << r.file << " " << r.path << " (" << g.width << "x" << g.height
            << "): pixels differ from the stored ones";
        stored.erase(it);
    }
    for (const auto& [key, g] : stored)
        ADD_FAILURE() << key.first << " " << key.second << ": stored but no longer produced";
}

TEST_F(GoldenPictures, BmpVariantsOfOnePictureDecodeAlike) {
    const QImage* truth = find(*run_, "rgb24.bmp", "decoded");
    ASSERT_TRUE(truth);
    for (const char* same :
         {"rgb24-topdown.bmp", "rgb24-os2.bmp", "rgb32.bmp", "bitfields32-v4.bmp"}) {
        const QImage* other = find(*run_, same, "decoded");
        ASSERT_TRUE(other) << same;
        EXPECT_EQ(difference(*other, *truth).max, 0) << same << " differs from rgb24.bmp";
    }
    // Five bits of red and blue (and green in 5-5-5) keep the top of each
    // channel: at most 8 apart once scaled back to 8 bits.
    for (const char* fewer : {"rgb555.bmp", "bitfields565.bmp"}) {
        const QImage* other = find(*run_, fewer, "decoded");
        ASSERT_TRUE(other) << fewer;
        EXPECT_LE(difference(*other, *truth).max, 8) << fewer << " against rgb24.bmp";
    }
    const QImage* indexed = find(*run_, "indexed8.bmp", "decoded");
    ASSERT_TRUE(indexed);
    for (const char* same : {"indexed4.bmp", "rle8.bmp", "rle4.bmp"}) {
        const QImage* other = find(*run_, same, "decoded");
        ASSERT_TRUE(other) << same;
        EXPECT_EQ(difference(*other, *indexed).max, 0) << same << " differs from indexed8.bmp";
    }
}

TEST_F(GoldenPictures, GreyJpegsStayGrey) {
    for (const char* grey : {"grey.jpg", "progressive-grey.jpg"})
        for (const char* path : {"full", "dct 1/4", "fitted cover 40x30"}) {
            const QImage* image = find(*run_, grey, path);
            ASSERT_TRUE(image) << grey << " " << path;
            for (int y = 0; y < image->height(); ++y)
                for (int x = 0; x < image->width(); ++x) {
                    const QRgb p = image->pixel(x, y);
                    ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p))
                        << grey << " " << path << " pixel " << x << "," << y;
                }
        }
}

// The 4:2:0 files hold the same coefficients in one scan, with restart
// markers, in progressive scans and in both: at the same DCT scale every
// libjpeg path gives the same pixels. Fitted progressive files are decoded
// by our own progressive decoder: at full size within 2 of 255 of the
// baseline file's (libjpeg's) pixels; where it halves them with its own
// n-point inverse DCT, within a mean of 6.
TEST_F(GoldenPictures, ScanStructureDoesNotChangePixels) {
    const std::pair<const char*, std::vector<const char*>> families[] = {
        {"baseline-420.jpg",
         {"restart-420.jpg", "progressive-420.jpg", "progressive-restart-420.jpg"}},
        {"baseline-444.jpg", {"progressive-444.jpg"}},
        {"grey.jpg", {"progressive-grey.jpg"}}};
    for (const auto& [baseline, others] : families)
        for (const char* other : others)
            for (const auto& r : run_->results()) {
                if (r.file != other)
                    continue;
                const QImage* reference = find(*run_, baseline, r.path);
                ASSERT_TRUE(reference) << baseline << " " << r.path;
                if (r.image.size() != reference->size()) {
                    EXPECT_EQ(r.path, "dct 1/2") << other << " " << r.path << ": size differs";
                    continue;
                }
                // Fitted progressive files go through our own progressive
                // decoder: at full size its inverse DCT rounds a little
                // differently from libjpeg's; where it halves, its n-point
                // inverse DCT is not libjpeg's reduced one at all.
                const std::string_view file(other), path(r.path);
                const bool own = file.starts_with("progressive") && path.starts_with("fitted");
                const bool ownHalving = own && path.starts_with("fitted cover 16x16");
                const Difference d = difference(r.image, *reference);
                if (ownHalving)
                    EXPECT_LE(d.mean, 6.0) << other << " " << r.path << " against " << baseline
                                           << " (max " << d.max << ")";
                else if (own)
                    EXPECT_LE(d.max, 2) << other << " " << r.path << " against " << baseline;
                else
                    EXPECT_EQ(d.max, 0) << other << " " << r.path << " differs from " << baseline;
            }
}
