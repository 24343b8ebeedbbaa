// Writes the small pictures the golden-output test decodes: JPEG files in
// every chroma layout and scan structure the decoders handle, and BMP files
// of every depth, compression and row order, all of one scene. The output is
// committed in tests/graphics/golden/; the test's hashes belong to exactly
// those bytes, so only run this when the pictures themselves must change
// (then update the hashes as test_golden_pictures.cpp describes).
// Usage: make_golden_pictures <folder>

#include "BmpBuilder.h"

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

using namespace skyloom;

namespace {

void save(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A scene with smooth gradients, hard edges and fine detail: every decoder
// step (upsampling, IDCT scaling, resampling) leaves its trace in it.
QImage scene(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int r = x * 255 / (width - 1), g = y * 255 / (height - 1), b = (x + y) * 3 & 0xff;
            if ((x / 6 + y / 6) % 2 == 0 && x > width / 2)
                r = g = b = (x * y) % 7 == 0 ? 255 : 20; // a checkerboard with specks
            if (y == height / 3)
                r = g = b = 255; // a one-pixel line
            image.setPixel(x, y, qRgb(r, g, b));
        }
    return image;
}

struct JpegVariant {
    const char* name;
    int lumaH, lumaV; // sampling factors of the luma component; chroma is 1 x 1
    bool grey;
    bool progressive;
    unsigned restartInterval; // in MCUs, 0 = none
};

std::vector<std::uint8_t> encodeJpeg(const QImage& image, const JpegVariant& v) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width());
    cinfo.image_height = static_cast<JDIMENSION>(image.height());
    cinfo.input_components = v.grey ? 1 : 3;
    cinfo.in_color_space = v.grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    if (!v.grey) {
        cinfo.comp_info[0].h_samp_factor = v.lumaH;
        cinfo.comp_info[0].v_samp_factor = v.lumaV;
        for (int c = 1; c < 3; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.restart_interval = v.restartInterval;
    if (v.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (v.grey) {
                row[x] = static_cast<std::uint8_t>(qGray(c));
            } else {
                row[3 * x] = static_cast<std::uint8_t>(qRed(c));
                row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(c));
                row[3 * x + 2] = static_cast<std::uint8_t>(qBlue(c));
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// RLE8 / RLE4 rows in encoded mode only: runs of one index (RLE4: both
// nibbles the same index), an end-of-line after each row, end-of-bitmap last.
std::vector<std::uint8_t> encodeRle(const std::vector<std::vector<int>>& rows, int bpp) {
    std::vector<std::uint8_t> out;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        for (std::size_t x = 0; x < row->size();) {
            std::size_t n = 1;
            while (x + n < row->size() && (*row)[x + n] == (*row)[x] && n < 255)
                ++n;
            const int v = (*row)[x];
            out.push_back(static_cast<std::uint8_t>(n));
            out.push_back(static_cast<std::uint8_t>(bpp == 4 ? (v << 4 | v) : v));
            x += n;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.back() = 1; // the last end-of-line becomes end-of-bitmap
    return out;
}

void writeBmps(const std::filesystem::path& dir) {
    const int w = 37, h = 23;
    const QImage picture = scene(w, h);
    auto layout = [&](int bpp) {
        test::BmpLayout s;
        s.width = w;
        s.height = h;
        s.bpp = bpp;
        return s;
    };
    test::BmpLayout s = layout(24);
    s.pixels = test::packPixels(picture, 24);
    save(dir / "rgb24.bmp", test::buildBmp(s));
    s.height = -h;
    s.pixels = test::packPixels(picture, 24, true);
    save(dir / "rgb24-topdown.bmp", test::buildBmp(s));
    s = layout(24);
    s.headerSize = 12;
    s.pixels = test::packPixels(picture, 24);
    save(dir / "rgb24-os2.bmp", test::buildBmp(s));
    s = layout(32);
    s.pixels = test::packPixels(picture, 32);
    save(dir / "rgb32.bmp", test::buildBmp(s));
    s.headerSize = 108;
    s.compression = 3;
    s.masks = {0xff0000, 0xff00, 0xff};
    save(dir / "bitfields32-v4.bmp", test::buildBmp(s));
    s = layout(16);
    s.pixels = test::packPixels(picture, 16);
    save(dir / "rgb555.bmp", test::buildBmp(s));
    // 5-6-5 bit fields: repack the picture with a six-bit green.
    s.compression = 3;
    s.masks = {0xf800, 0x07e0, 0x001f};
    s.pixels.clear();
    const std::size_t stride = ((static_cast<std::size_t>(w) * 16 + 31) / 32) * 4;
    for (int n = 0; n < h; ++n) {
        std::vector<std::uint8_t> bytes(stride, 0);
        for (int x = 0; x < w; ++x) {
            const QRgb c = picture.pixel(x, h - 1 - n);
            test::put(bytes, 2 * static_cast<std::size_t>(x),
                      static_cast<std::uint32_t>((qRed(c) >> 3) << 11 | (qGreen(c) >> 2) << 5 |
                                                 (qBlue(c) >> 3)),
                      2);
        }
        s.pixels.insert(s.pixels.end(), bytes.begin(), bytes.end());
    }
    save(dir / "bitfields565.bmp", test::buildBmp(s));

    // Palette pictures: the scene's red and green reduced to 4 x 4 levels.
    std::vector<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(qRgb((i % 4) * 85, (i / 4) * 85, 128));
    std::vector<std::vector<int>> indexes(h, std::vector<int>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = picture.pixel(x, y);
            indexes[y][x] = qRed(c) / 64 + 4 * (qGreen(c) / 64);
        }
    for (int bpp : {4, 8}) {
        s = layout(bpp);
        s.palette = palette;
        s.pixels = test::packIndexes(indexes, bpp);
        save(dir / ("indexed" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
        s.compression = bpp == 8 ? 1 : 2;
        s.pixels = encodeRle(indexes, bpp);
        save(dir / ("rle" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
    }
    std::vector<std::vector<int>> bits(h, std::vector<int>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bits[y][x] = qGray(picture.pixel(x, y)) > 100 ? 1 : 0;
    s = layout(1);
    s.palette = {qRgb(10, 20, 60), qRgb(250, 240, 200)};
    s.pixels = test::packIndexes(bits, 1);
    save(dir / "indexed1.bmp", test::buildBmp(s));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_golden_pictures <folder>\n";
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    const QImage picture = scene(77, 53); // not a multiple of any block size
    const JpegVariant variants[] = {
        {"baseline-420.jpg", 2, 2, false, false, 0},
        {"baseline-422.jpg", 2, 1, false, false, 0},
        {"baseline-444.jpg", 1, 1, false, false, 0},
        {"grey.jpg", 1, 1, true, false, 0},
        {"progressive-420.jpg", 2, 2, false, true, 0},
        {"progressive-444.jpg", 1, 1, false, true, 0},
        {"progressive-grey.jpg", 1, 1, true, true, 0},
        {"restart-420.jpg", 2, 2, false, false, 3},
        {"progressive-restart-420.jpg", 2, 2, false, true, 2},
    };
    for (const JpegVariant& v : variants)
        save(dir / v.name, encodeJpeg(picture, v));
    writeBmps(dir);
    std::cout << "golden pictures written to " << dir.string() << "\n";
    return 0;
}
