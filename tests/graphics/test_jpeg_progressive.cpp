// Our own progressive decoder against libjpeg: the coefficients it keeps
// are libjpeg's, for every sampling, output scale, scan script and restart
// interval; its rows are close to libjpeg's DCT-scaled decode; damage and a
// stop request end it cleanly.
#include "graphics/io/FileIO.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/JpegInternal.h"
#include "graphics/io/JpegProgressive.h"
#include "graphics/io/Resample.h"
#include "tests/graphics/RawJpeg.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

using skyloom::graphics::DecodeLimits;
using skyloom::graphics::detail::ProgressiveJpeg;
using skyloom::test::RawJpeg;
using skyloom::test::TempDir;

namespace {

constexpr int kNatural[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                              12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                              35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                              58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

struct Case {
    int width, height;
    int components;
    int h0, v0; // the first component's sampling factors (the others 1 × 1)
    int quality;
    int restart;         // restart interval in MCUs, 0 for none
    bool approximated;   // libjpeg's script with successive approximation, else spectral only
    bool smooth = false; // gradients and edges without grain
};

std::string describe(const Case& c) {
    return std::to_string(c.width) + "x" + std::to_string(c.height) + " comps " +
           std::to_string(c.components) + " " + std::to_string(c.h0) + "x" + std::to_string(c.v0) +
           " q" + std::to_string(c.quality) + " restart " + std::to_string(c.restart) +
           (c.approximated ? " approximated" : " spectral");
}

// Grain over gradients and a few edges: coefficients in every band.
JSAMPLE sample(int x, int y, int channel, bool smooth) {
    if (smooth) {
        const int base = (x * 3 + y * 2 + channel * 60) % 256;
        return static_cast<JSAMPLE>(base / 2 + (((x / 9 + y / 7) & 1) ? 60 : 0));
    }
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                      static_cast<std::uint32_t>(y) * 19349663u ^
                      static_cast<std::uint32_t>(channel) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    const int base = (x * 3 + y * 2 + channel * 60) % 256;
    const int edge = ((x / 7 + y / 5) & 1) ? 40 : 0;
    return static_cast<JSAMPLE>(std::clamp(base / 2 + edge + static_cast<int>(h % 64), 0, 255));
}

// A spectral-selection script without successive approximation.
const jpeg_scan_info kSpectral[] = {{3, {0, 1, 2, 0}, 0, 0, 0, 0},
                                    {1, {0, 0, 0, 0}, 1, 9, 0, 0},
                                    {1, {0, 0, 0, 0}, 10, 63, 0, 0},
                                    {1, {1, 0, 0, 0}, 1, 63, 0, 0},
                                    {1, {2, 0, 0, 0}, 1, 63, 0, 0}};
const jpeg_scan_info kSpectralGrey[] = {
    {1, {0, 0, 0, 0}, 0, 0, 0, 0}, {1, {0, 0, 0, 0}, 1, 5, 0, 0}, {1, {0, 0, 0, 0}, 6, 63, 0, 0}};

std::vector<std::uint8_t> makeFile(const TempDir& dir, const Case& c) {
    RawJpeg raw;
    raw.width = c.width;
    raw.height = c.height;
    raw.components = c.components;
    raw.input = c.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    raw.setUp = [&c](jpeg_compress_struct& ci) {
        jpeg_set_quality(&ci, c.quality, TRUE);
        ci.comp_info[0].h_samp_factor = c.h0;
        ci.comp_info[0].v_samp_factor = c.v0;
        if (c.approximated) {
            jpeg_simple_progression(&ci);
        } else if (c.components == 1) {
            ci.scan_info = kSpectralGrey;
            ci.num_scans = 3;
        } else {
            ci.scan_info = kSpectral;
            ci.num_scans = 5;
        }
        ci.restart_interval = static_cast<unsigned>(c.restart);
    };
    raw.row = [&c](int y, JSAMPLE* row) {
        for (int x = 0; x < c.width; ++x)
            for (int k = 0; k < c.components; ++k)
                row[x * c.components + k] = sample(x, y, k, c.smooth);
    };
    const std::string path = dir.file("p.jpg");
    const std::string why = skyloom::test::writeRawJpeg(path, raw);
    EXPECT_EQ(why, "");
    skyloom::graphics::FileBytes bytes(path);
    return std::vector<std::uint8_t>(bytes.bytes().begin(), bytes.bytes().end());
}

// libjpeg's coefficients of every component: blocks × 64 in natural order.
struct Coefficients {
    std::vector<int> blocksW, blocksH;
    std::vector<std::vector<JCOEF>> blocks;
};

Coefficients libjpegCoefficients(const std::vector<std::uint8_t>& data) {
    Coefficients out;
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&d);
    for (int c = 0; c < d.num_components; ++c) {
        const jpeg_component_info& comp = d.comp_info[c];
        const int bw = static_cast<int>(comp.width_in_blocks);
        const int bh = static_cast<int>(comp.height_in_blocks);
        out.blocksW.push_back(bw);
        out.blocksH.push_back(bh);
        std::vector<JCOEF> all(std::size_t(bw) * bh * 64);
        for (int by = 0; by < bh; ++by) {
            JBLOCKARRAY row =
                d.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&d), arrays[c],
                                          static_cast<JDIMENSION>(by), 1, FALSE);
            for (int bx = 0; bx < bw; ++bx)
                std::copy(row[0][bx], row[0][bx] + 64,
                          all.begin() + (std::size_t(by) * bw + bx) * 64);
        }
        out.blocks.push_back(std::move(all));
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return out;
}

// Compares the kept coefficients and the non-zero masks; the first mismatch.
std::string compare(const ProgressiveJpeg& own, const Coefficients& lib) {
    for (int c = 0; c < own.components(); ++c)
        for (int by = 0; by < lib.blocksH[c]; ++by)
            for (int bx = 0; bx < lib.blocksW[c]; ++bx) {
                const JCOEF* ref = &lib.blocks[c][(std::size_t(by) * lib.blocksW[c] + bx) * 64];
                const auto kept = own.blockCoefficients(c, bx, by);
                const std::uint64_t nz = own.blockNonZero(c, bx, by);
                const int n = own.keptSide(c);
                const std::string where = "component " + std::to_string(c) + " block " +
                                          std::to_string(bx) + "," + std::to_string(by);
                for (int k = 1; k < 64; ++k)
                    if (((nz >> k) & 1) != (ref[kNatural[k]] != 0 ? 1u : 0u))
                        return where + ": non-zero mask at zig-zag " + std::to_string(k);
                for (int r = 0; r < n; ++r)
                    for (int col = 0; col < n; ++col)
                        if (kept[std::size_t(r * n + col)] != ref[r * 8 + col])
                            return where + ": coefficient " + std::to_string(r) + "," +
                                   std::to_string(col) + " is " +
                                   std::to_string(kept[std::size_t(r * n + col)]) + ", libjpeg " +
                                   std::to_string(ref[r * 8 + col]);
            }
    return "";
}

} // namespace

TEST(ProgressiveJpeg, KeepsLibjpegsCoefficientsForEveryLayoutAndScale) {
    TempDir dir;
    const Case cases[] = {
        {64, 48, 3, 2, 2, 90, 0, true},   {37, 23, 3, 2, 2, 100, 0, true},
        {301, 199, 3, 2, 1, 75, 0, true}, {45, 70, 3, 1, 2, 95, 0, true},
        {33, 17, 3, 1, 1, 100, 0, true},  {1, 1, 3, 2, 2, 90, 0, true},
        {53, 41, 1, 1, 1, 85, 0, true},   {129, 67, 3, 2, 2, 80, 3, true},
        {70, 50, 3, 1, 1, 90, 1, true},   {61, 29, 1, 1, 1, 92, 5, true},
        {90, 66, 3, 2, 2, 88, 0, false},  {40, 40, 1, 1, 1, 60, 2, false},
        {77, 31, 3, 2, 2, 30, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c));
        const std::vector<std::uint8_t> data = makeFile(dir, c);
        const Coefficients lib = libjpegCoefficients(data);
        for (int denom : {1, 2, 4, 8}) {
            // One thread, and the scans shared out between two.
            const bool two = denom % 4 == 0;
            SCOPED_TRACE("1/" + std::to_string(denom) + (two ? ", two threads" : ", one thread"));
            ProgressiveJpeg own;
            own.setTwoThreadsFrom(two ? 0 : UINT64_MAX);
            ASSERT_TRUE(own.open(data));
            EXPECT_EQ(own.pictureSize(), QSize(c.width, c.height));
            std::string error;
            ASSERT_TRUE(own.decode(denom, DecodeLimits{}, {}, error)) << error;
            EXPECT_EQ(own.outputSize(),
                      QSize((c.width + denom - 1) / denom, (c.height + denom - 1) / denom));
            EXPECT_EQ(compare(own, lib), "");
        }
    }
}

namespace {

// libjpeg's own decode at 1/denom, as BGRX rows.
QImage libjpegScaled(const std::vector<std::uint8_t>& data, int denom) {
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d, TRUE);
    d.scale_num = 1;
    d.scale_denom = static_cast<unsigned>(denom);
    d.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&d);
    QImage out(static_cast<int>(d.output_width), static_cast<int>(d.output_height),
               QImage::Format_RGB32);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = out.scanLine(static_cast<int>(d.output_scanline));
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return out;
}

double psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int shift : {0, 8, 16}) {
                const int d = int((p >> shift) & 255) - int((q >> shift) & 255);
                sum += d * d;
            }
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

QImage ownRows(ProgressiveJpeg& own) {
    QImage out(own.outputSize(), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        EXPECT_TRUE(own.row(y, reinterpret_cast<QRgb*>(out.scanLine(y)))) << own.error();
    return out;
}

} // namespace

// The pixels: the same inverse DCT sizes and upsampling as libjpeg's scaled
// decode, but an n-point inverse DCT of the kept coefficients instead of
// libjpeg's reduced ones; at 1/8 both take the DC coefficient alone.
TEST(ProgressiveJpeg, RowsAreCloseToLibjpegsScaledDecode) {
    TempDir dir;
    const Case cases[] = {{203, 131, 3, 2, 2, 92, 0, true, true},
                          {203, 131, 3, 2, 1, 92, 0, true, true},
                          {150, 97, 3, 1, 2, 92, 0, true, true},
                          {203, 131, 3, 1, 1, 92, 0, true, true},
                          {101, 77, 1, 1, 1, 92, 0, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c));
        const std::vector<std::uint8_t> data = makeFile(dir, c);
        for (int denom : {1, 2, 4, 8}) {
            SCOPED_TRACE("1/" + std::to_string(denom));
            ProgressiveJpeg own;
            std::string error;
            ASSERT_TRUE(own.open(data));
            ASSERT_TRUE(own.decode(denom, DecodeLimits{}, {}, error)) << error;
            const QImage ours = ownRows(own), theirs = libjpegScaled(data, denom);
            ASSERT_EQ(ours.size(), theirs.size());
            const bool full = c.components == 1 || (c.h0 == 1 && c.v0 == 1);
            // At full size both take every coefficient and upsample the
            // colours alike: only the inverse DCTs' rounding differs.
            EXPECT_GE(psnr(ours, theirs), denom == 1  ? 55.0
                                          : denom < 8 ? 32.0
                                          : full      ? 60.0
                                                      : 25.0);
            if (denom == 1 || denom == 8)
                continue;
            // Against the full-size decode shrunk with a Lanczos window
            // (what photo tools do): at least as close as libjpeg's own
            // scaled decode, whose reduced inverse DCT averages instead.
            const QImage whole = libjpegScaled(data, 1);
            QImage area(ours.size(), QImage::Format_RGB32);
            skyloom::graphics::resampleArea(
                whole, QRectF(0, 0, ours.width() * denom, ours.height() * denom), area);
            EXPECT_GE(psnr(ours, area), psnr(theirs, area) - 0.5)
                << "ours " << psnr(ours, area) << " dB, libjpeg's " << psnr(theirs, area) << " dB";
        }
    }
}

// A picture decoded a few rows of blocks at a time gives the same rows as
// one decoded whole: each scan takes up where the band before left it
// (restart markers, end-of-band runs and DC predictions included), and the
// upsampling's neighbours in the band before are still at hand.
TEST(ProgressiveJpeg, BandsGiveTheSameRowsAsOneBand) {
    TempDir dir;
    const Case cases[] = {{203, 331, 3, 2, 2, 92, 0, true},
                          {150, 297, 3, 2, 1, 90, 3, true},
                          {97, 301, 3, 1, 2, 85, 0, false},
                          {203, 231, 3, 1, 1, 92, 7, true},
                          {101, 277, 1, 1, 1, 92, 2, false},
                          {64, 250, 3, 2, 2, 75, 1, false},
                          // Long end-of-band runs, which go on across rows.
                          {203, 331, 3, 2, 2, 50, 0, true, true},
                          {120, 260, 3, 1, 1, 40, 0, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c));
        const std::vector<std::uint8_t> data = makeFile(dir, c);
        for (int denom : {1, 2, 4, 8}) {
            for (bool two : {false, true}) {
                SCOPED_TRACE("1/" + std::to_string(denom) + (two ? ", two threads" : ""));
                ProgressiveJpeg whole, banded;
                std::string error;
                ASSERT_TRUE(whole.open(data));
                ASSERT_TRUE(whole.decode(denom, DecodeLimits{}, {}, error)) << error;
                banded.setTwoThreadsFrom(two ? 0 : UINT64_MAX);
                banded.setBandBytes(1); // the least a band holds
                ASSERT_TRUE(banded.open(data));
                ASSERT_TRUE(banded.decode(denom, DecodeLimits{}, {}, error)) << error;
                QImage a(whole.outputSize(), QImage::Format_RGB32), b = a;
                for (int y = 0; y < a.height(); ++y) {
                    ASSERT_TRUE(whole.row(y, reinterpret_cast<QRgb*>(a.scanLine(y))));
                    ASSERT_TRUE(banded.row(y, reinterpret_cast<QRgb*>(b.scanLine(y))))
                        << "row " << y << ": " << banded.error();
                }
                EXPECT_EQ(whole.bandsDecoded(), 1);
                EXPECT_GE(banded.bandsDecoded(), 3);
                EXPECT_TRUE(a == b);
                // Rows left out, as a fit that reduces leaves them: whole
                // rows of blocks are skipped when the step is 32.
                for (int step : {5, 32}) {
                    ProgressiveJpeg sparse;
                    sparse.setBandBytes(1);
                    ASSERT_TRUE(sparse.open(data));
                    ASSERT_TRUE(sparse.decode(denom, DecodeLimits{}, {}, error)) << error;
                    QImage row(a.width(), 1, QImage::Format_RGB32);
                    for (int y = 0; y < a.height(); y += step) {
                        ASSERT_TRUE(sparse.row(y, reinterpret_cast<QRgb*>(row.scanLine(0))))
                            << "step " << step << ", row " << y << ": " << sparse.error();
                        ASSERT_EQ(std::memcmp(row.constScanLine(0), a.constScanLine(y),
                                              std::size_t(a.width()) * 4),
                                  0)
                            << "step " << step << ", row " << y;
                    }
                }
            }
        }
    }
}

// A band after the first is decoded when its rows are asked for: a stop
// request then ends the rows, and rows left out do not lose the bands'
// order.
TEST(ProgressiveJpeg, LaterBandsStopAndSkip) {
    TempDir dir;
    const std::vector<std::uint8_t> data = makeFile(dir, {160, 400, 3, 2, 2, 90, 0, true});
    int asked = 0;
    bool stop = false;
    ProgressiveJpeg own;
    own.setBandBytes(1);
    ASSERT_TRUE(own.open(data));
    std::string error;
    ASSERT_TRUE(own.decode(
        1, DecodeLimits{}, [&] { return ++asked, stop; }, error))
        << error;
    QImage row(own.outputSize().width(), 1, QImage::Format_RGB32);
    auto* out = reinterpret_cast<QRgb*>(row.scanLine(0));
    ASSERT_TRUE(own.row(0, out));
    const int before = asked;
    // Rows 1 to 199 left out: the bands up to row 200 are decoded in turn.
    ASSERT_TRUE(own.row(200, out)) << own.error();
    EXPECT_GT(asked, before);
    EXPECT_GT(own.bandsDecoded(), 3);
    stop = true;
    bool ended = false;
    for (int y = 201; y < own.outputSize().height() && !ended; ++y)
        ended = !own.row(y, out);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(own.stopped());
    EXPECT_NE(own.error().find("stopped"), std::string::npos) << own.error();
}

// Damaged files end the decode with a reason and no crash; whatever our
// decoder refuses, the fitted decode hands to libjpeg, whose verdict stands.
TEST(ProgressiveJpeg, DamageEndsTheDecodeCleanly) {
    TempDir dir;
    const std::vector<std::uint8_t> good = makeFile(dir, {160, 120, 3, 2, 2, 90, 4, true});
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 60; ++round) {
        std::vector<std::uint8_t> bad = good;
        if (round < 20) {
            bad.resize(bad.size() * std::size_t(round + 1) / 21); // cut short
        } else {
            for (int i = 0; i < 1 + round % 5; ++i)
                bad[200 + next() % (bad.size() - 200)] = static_cast<std::uint8_t>(next());
        }
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(bad.size()) +
                     " bytes");
        ProgressiveJpeg own;
        own.setTwoThreadsFrom(round % 2 ? 0 : UINT64_MAX);
        std::string error;
        if (own.open(bad)) {
            const bool ok = own.decode(2, DecodeLimits{}, {}, error);
            if (round < 20) {
                EXPECT_FALSE(ok) << "a file cut short decoded";
            }
            if (ok) {
                ownRows(own);
            } else {
                EXPECT_FALSE(error.empty());
            }
        }
        QImage fitted;
        error.clear();
        const bool fittedOk = skyloom::graphics::decodeJpegFitted(
            bad, QSize(40, 30), skyloom::graphics::FitMode::Cover, fitted, error, {},
            skyloom::graphics::JpegThreads::Several);
        if (round < 20) {
            EXPECT_FALSE(fittedOk);
        }
        EXPECT_EQ(fittedOk, error.empty()) << error;
    }
}

TEST(ProgressiveJpeg, StopRequestsAndLimitsEndTheDecode) {
    TempDir dir;
    const std::vector<std::uint8_t> data = makeFile(dir, {320, 240, 3, 2, 2, 90, 0, true});
    std::string error;
    for (bool two : {false, true}) {
        int asked = 0;
        ProgressiveJpeg own;
        own.setTwoThreadsFrom(two ? 0 : UINT64_MAX);
        ASSERT_TRUE(own.open(data));
        EXPECT_FALSE(own.decode(
            2, DecodeLimits{}, [&asked] { return ++asked > 3; }, error));
        EXPECT_TRUE(own.stopped());
        EXPECT_EQ(asked, 4);
    }
    int asked = 0;
    // Through the fitted decode: stopped, not handed to libjpeg.
    asked = 0;
    QImage fitted;
    EXPECT_FALSE(skyloom::graphics::decodeJpegFitted(
        data, QSize(100, 75), skyloom::graphics::FitMode::Cover, fitted, error, {},
        skyloom::graphics::JpegThreads::Several, [&asked] { return ++asked > 3; }));
    EXPECT_NE(error.find("stopped"), std::string::npos) << error;
    EXPECT_LE(asked, 5);

    DecodeLimits few;
    few.maxScans = 3; // libjpeg's script has 10
    ProgressiveJpeg scans;
    ASSERT_TRUE(scans.open(data));
    EXPECT_FALSE(scans.decode(2, few, {}, error));
    EXPECT_FALSE(scans.stopped());
    DecodeLimits small;
    small.maxJpegMemory = 1000;
    ProgressiveJpeg memory;
    ASSERT_TRUE(memory.open(data));
    EXPECT_FALSE(memory.decode(2, small, {}, error));
    EXPECT_NE(error.find("memory"), std::string::npos) << error;
}

// The colour conversion that puts separately decoded planes together must
// be libjpeg's to the bit, in its vector path as in its plain one (rows of
// odd lengths end in the plain one), for every luma, Cb and Cr value.
TEST(ProgressiveJpeg, ColourConversionIsLibjpegsForEveryValue) {
    using skyloom::graphics::detail::yccRow;
    constexpr int kBits = 16;
    auto fix = [](double v) { return static_cast<std::int32_t>(v * (1 << kBits) + 0.5); };
    auto clamp = [](int v) { return static_cast<unsigned>(std::min(std::max(v, 0), 255)); };
    constexpr int kWidth = 256 * 3 + 5;
    std::vector<std::uint8_t> luma(kWidth), cbcr(2 * kWidth);
    std::vector<QRgb> out(kWidth + 1);
    int wrong = 0;
    for (int cb = 0; cb < 256; ++cb)
        for (int y0 = 0; y0 < 256; y0 += 85) {
            for (int x = 0; x < kWidth; ++x) {
                luma[x] = static_cast<std::uint8_t>((y0 + x * 7) & 255);
                cbcr[2 * x] = static_cast<std::uint8_t>(cb);
                cbcr[2 * x + 1] = static_cast<std::uint8_t>(x & 255);
            }
            const int width = kWidth - (cb % 8); // every tail length
            out[width] = 0x12345678u;
            yccRow(luma.data(), cbcr.data(), out.data(), static_cast<std::size_t>(width));
            ASSERT_EQ(out[width], 0x12345678u) << "wrote past the row";
            for (int x = 0; x < width; ++x) {
                const int y = luma[x], b = cb - 128, r = cbcr[2 * x + 1] - 128;
                const unsigned red = clamp(y + ((fix(1.40200) * r + (1 << 15)) >> kBits));
                const unsigned green =
                    clamp(y + ((-fix(0.34414) * b - fix(0.71414) * r + (1 << 15)) >> kBits));
                const unsigned blue = clamp(y + ((fix(1.77200) * b + (1 << 15)) >> kBits));
                const QRgb want = 0xFF000000u | (red << 16) | (green << 8) | blue;
                if (out[x] != want && ++wrong <= 5)
                    ADD_FAILURE() << "y " << y << " cb " << cb << " cr " << r + 128;
            }
        }
    EXPECT_EQ(wrong, 0);
}
