// Writes the seed corpus of every fuzz target, one folder per target:
// small valid BMP files of every depth and compression, JPEG files
// (baseline, progressive, grey, with metadata), PNG files with text chunks,
// and the text files of image sets as their authors write them.
// The output is committed under tests/fuzz/seeds/; run this again after a
// change here: make_fuzz_seeds tests/fuzz/seeds
// Usage: make_fuzz_seeds <folder>

#include "../graphics/BmpBuilder.h"
#include "../graphics/PngBuilder.h"
#include "../mkset/TestPictures.h"
#include "SeedTexts.h"
#include "graphics/io/JpegCodec.h"

#include <QBuffer>
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

void save(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void writeBmpSeeds(const std::filesystem::path& root) {
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
        test::BmpLayout s;
        s.width = 13;
        s.height = 7;
        s.bpp = bpp;
        s.palette.assign(palette.begin(), palette.begin() + (bpp == 1 ? 2 : 16));
        std::vector<std::vector<int>> r = rows;
        for (auto& row : r)
            for (int& v : row)
                v %= static_cast<int>(s.palette.size());
        s.pixels = test::packIndexes(r, bpp);
        save(root / ("indexed" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
        s.height = -7;
        s.pixels = test::packIndexes(r, bpp, true);
        save(root / ("topdown" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
    }
    for (int bpp : {16, 24, 32}) {
        test::BmpLayout s;
        s.width = 13;
        s.height = 7;
        s.bpp = bpp;
        s.pixels = test::packPixels(picture, bpp);
        save(root / ("rgb" + std::to_string(bpp) + ".bmp"), test::buildBmp(s));
    }
    test::BmpLayout fields;
    fields.headerSize = 108;
    fields.width = 2;
    fields.height = 2;
    fields.bpp = 32;
    fields.compression = 3;
    fields.masks = {0xff0000, 0xff00, 0xff};
    fields.pixels.assign(16, 0x5a);
    save(root / "bitfields-v4.bmp", test::buildBmp(fields));
    test::BmpLayout rle8;
    rle8.width = 6;
    rle8.height = 3;
    rle8.bpp = 8;
    rle8.compression = 1;
    rle8.palette = palette;
    rle8.pixels = {6, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 2, 1, 1, 2, 5, 0, 0, 0, 1};
    save(root / "rle8.bmp", test::buildBmp(rle8));
    test::BmpLayout rle4 = rle8;
    rle4.bpp = 4;
    rle4.compression = 2;
    rle4.pixels = {6, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 0, 3, 0x78, 0, 1};
    save(root / "rle4.bmp", test::buildBmp(rle4));
}

QImage seedPhoto() {
    QImage photo(48, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            photo.setPixel(x, y, qRgb(x * 5, y * 7, (x * y) & 0xff));
    return photo;
}

void writeJpegSeeds(const std::filesystem::path& root) {
    const QImage photo = seedPhoto();
    std::string error;
    graphics::writeJpeg((root / "baseline444.jpg").string(), photo, 80, error);
    QImageWriter progressive(QString::fromStdString((root / "progressive.jpg").string()), "jpeg");
    progressive.setProgressiveScanWrite(true);
    progressive.write(photo);
    QImageWriter grey(QString::fromStdString((root / "grey.jpg").string()), "jpeg");
    grey.write(photo.convertToFormat(QImage::Format_Grayscale8));
    QImageWriter subsampled(QString::fromStdString((root / "q50.jpg").string()), "jpeg");
    subsampled.setQuality(50);
    subsampled.write(photo);
    graphics::JpegEncodeOptions quarter;
    quarter.chroma = graphics::ChromaSampling::Quarter;
    quarter.progressive = true;
    graphics::writeJpeg((root / "progressive420.jpg").string(), photo, quarter, error);
}

QImage seedRgb() {
    return test::twoHalves(12, 8, 0x336699, 0xcc9933);
}

void writePngSeeds(const std::filesystem::path& root) {
    save(root / "plain.png", test::pngOf(seedRgb()));
    save(root / "alpha.png", test::pngOf(seedRgb(), 128));
    save(root / "texts.png",
         test::pngOf(seedRgb(), -1, {{"Title", "Fresh flower"}, {"Description", "In the rain."}}));
    // Palette and grey pictures through Qt's writer.
    for (auto [name, format] : {std::pair{"indexed.png", QImage::Format_Indexed8},
                                std::pair{"grey.png", QImage::Format_Grayscale8}}) {
        QImage image = seedPhoto().convertToFormat(format);
        image.setText("Title", "Seed");
        image.save(QString::fromStdString((root / name).string()), "png");
    }
    // Kinds the row reader treats apart: Adam7 passes, 16-bit samples with
    // transparency, a 2-bit palette with a transparent entry.
    const auto shade = [](int channels, int depth, int width) {
        return [=](std::uint32_t y, std::uint8_t* row) {
            for (int i = 0; i < width * channels * depth / 8; ++i)
                row[i] = static_cast<std::uint8_t>(i * 37 + y * 11);
        };
    };
    test::PngLayout interlaced{.width = 13, .height = 9, .depth = 8, .colorType = 2};
    interlaced.interlaced = true;
    interlaced.row = shade(3, 8, 13);
    save(root / "interlaced.png", test::buildPng(interlaced));
    test::PngLayout deep{.width = 7, .height = 5, .depth = 16, .colorType = 6};
    deep.row = shade(4, 16, 7);
    save(root / "deep-alpha.png", test::buildPng(deep));
    test::PngLayout palette{.width = 12, .height = 6, .depth = 2, .colorType = 3};
    palette.palette = {10, 20, 30, 200, 100, 50, 0, 255, 0, 40, 40, 40};
    palette.trns = {128, 0};
    palette.row = shade(1, 2, 12);
    save(root / "palette-2bit.png", test::buildPng(palette));
}

std::string bytes(const test::JpegMarker& marker) {
    return {marker.data.begin(), marker.data.end()};
}

// The selector byte in front of a reader's input.
std::string tagged(int reader, const std::string& input) {
    return std::string(1, char(reader)) + input;
}

// The first byte picks the reader (see the mkset target).
void writeMksetSeeds(const std::filesystem::path& root) {
    save(root / "exif.bin", tagged(0, bytes(test::exifSegment(6, "A harbour at dusk", "Canon",
                                                              std::string("T\0i\0d\0e\0", 8)))));
    save(root / "exif-bare.bin", tagged(4, bytes(test::exifSegment(3, "", "")).substr(6)));
    save(root / "iptc.bin", tagged(1, bytes(test::iptcSegment("Old mill", "The mill in winter."))));
    save(root / "xmp.bin",
         tagged(2, bytes(test::xmpSegment("Dunes &amp; sky", "Wind &#x263A;")).substr(29)));
    const std::vector<test::JpegMarker> markers = {
        test::exifSegment(8, "OLYMPUS DIGITAL CAMERA", "OLYMPUS"),
        test::xmpSegment("Morning fog", "Fog over the valley."), test::iptcSegment("Fog", "")};
    save(root / "jpeg-metadata.bin", tagged(3, test::jpegOf(seedRgb(), markers)));
    save(root / "jpeg-progressive.bin", tagged(3, test::jpegOf(seedRgb(), {}, true)));
}

void writeTextSeeds(const std::filesystem::path& root, const char* target,
                    std::initializer_list<fuzz::SeedText> texts) {
    std::filesystem::create_directories(root / target);
    for (const auto& t : texts)
        save(root / target / t.name, t.bytes);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_seeds <folder>\n";
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    for (const char* target : {"bmp", "jpeg", "png", "mkset"})
        std::filesystem::create_directories(root / target);
    writeBmpSeeds(root / "bmp");
    writeJpegSeeds(root / "jpeg");
    writePngSeeds(root / "png");
    writeMksetSeeds(root / "mkset");
    writeTextSeeds(root, "ini", fuzz::kIniSeeds);
    writeTextSeeds(root, "imageset", fuzz::kImageSetSeeds);
    writeTextSeeds(root, "nfo", fuzz::kNfoSeeds);
    writeTextSeeds(root, "credits", fuzz::kCreditsSeeds);
    std::cout << "seeds written to " << root.string() << "\n";
    return 0;
}
