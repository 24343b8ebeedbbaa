// Writes the seed corpus for the fuzzers: small valid BMP files of every
// depth and compression and a few JPEG files (baseline, progressive, grey).
// Usage: make_fuzz_seeds <folder>; bmp/ and jpeg/ are created inside.

#include "../graphics/BmpBuilder.h"
#include "graphics/io/JpegCodec.h"

#include <QImageWriter>
#include <filesystem>
#include <fstream>
#include <iostream>

using namespace skyloom;

namespace {

void save(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_seeds <folder>\n";
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    std::filesystem::create_directories(root / "bmp");
    std::filesystem::create_directories(root / "jpeg");
    const QImage picture = test::testPicture(13, 7);
    std::vector<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(qRgb(i * 16, 255 - i * 16, (i * 77) & 0xff));
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < 7; ++y) {
        rows.emplace_back();
        for (int x = 0; x < 13; ++x)
            rows.back().push_back((x + 2 * y) % 16);
    }
    for (int bpp : {1, 4, 8}) {
        test::BmpSpec s;
        s.width = 13;
        s.height = 7;
        s.bpp = bpp;
        s.palette.assign(palette.begin(), palette.begin() + (bpp == 1 ? 2 : 16));
        std::vector<std::vector<int>> r = rows;
        for (auto& row : r)
            for (int& v : row)
                v %= static_cast<int>(s.palette.size());
        s.pixels = test::packIndexes(r, bpp);
        save(root / "bmp" / ("indexed" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
        s.height = -7;
        s.pixels = test::packIndexes(r, bpp, true);
        save(root / "bmp" / ("topdown" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
    }
    for (int bpp : {16, 24, 32}) {
        test::BmpSpec s;
        s.width = 13;
        s.height = 7;
        s.bpp = bpp;
        s.pixels = test::packPixels(picture, bpp);
        save(root / "bmp" / ("rgb" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
    }
    test::BmpSpec fields;
    fields.headerSize = 108;
    fields.width = 2;
    fields.height = 2;
    fields.bpp = 32;
    fields.compression = 3;
    fields.masks = {0xff0000, 0xff00, 0xff};
    fields.pixels.assign(16, 0x5a);
    save(root / "bmp" / "bitfields-v4.bmp", test::buildBmp(fields));
    test::BmpSpec rle8;
    rle8.width = 6;
    rle8.height = 3;
    rle8.bpp = 8;
    rle8.compression = 1;
    rle8.palette = palette;
    rle8.pixels = {6, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 2, 1, 1, 2, 5, 0, 0, 0, 1};
    save(root / "bmp" / "rle8.bmp", test::buildBmp(rle8));
    test::BmpSpec rle4 = rle8;
    rle4.bpp = 4;
    rle4.compression = 2;
    rle4.pixels = {6, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 0, 3, 0x78, 0, 1};
    save(root / "bmp" / "rle4.bmp", test::buildBmp(rle4));

    QImage photo(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            photo.setPixel(x, y, qRgb(x * 5, y * 7, (x * y) & 0xff));
    std::string error;
    graphics::writeJpeg((root / "jpeg" / "baseline444.jpg").string(), photo, 80, error);
    QImageWriter progressive(QString::fromStdString((root / "jpeg" / "progressive.jpg").string()),
                             "jpeg");
    progressive.setProgressiveScanWrite(true);
    progressive.write(photo);
    QImageWriter grey(QString::fromStdString((root / "jpeg" / "grey.jpg").string()), "jpeg");
    grey.write(photo.convertToFormat(QImage::Format_Grayscale8));
    QImageWriter subsampled(QString::fromStdString((root / "jpeg" / "q50.jpg").string()), "jpeg");
    subsampled.setQuality(50);
    subsampled.write(photo);
    std::cout << "seeds written to " << root.string() << "\n";
    return 0;
}
