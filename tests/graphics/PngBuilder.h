#pragma once
// Builds PNG files for the tests: any colour type and depth, palettes with
// transparency, Adam7 interlacing, and pictures far larger than memory
// (rows come from a function and are compressed as they are made).

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skyloom::test {

struct PngLayout {
    std::uint32_t width = 4, height = 3;
    int depth = 8;     // bits per sample
    int colorType = 2; // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    bool interlaced = false;
    std::vector<std::uint8_t> palette; // RGB triples (colour type 3)
    std::vector<std::uint8_t> trns;    // tRNS chunk body as stored
    /// Writes the samples of row y (packed as stored, without filter byte).
    std::function<void(std::uint32_t y, std::uint8_t* row)> row;
};

namespace png_detail {

inline void be32(std::vector<std::uint8_t>& d, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        d.push_back(static_cast<std::uint8_t>(v >> s));
}

inline void chunk(std::vector<std::uint8_t>& d, const char* type,
                  const std::vector<std::uint8_t>& body) {
    be32(d, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = d.size();
    d.insert(d.end(), type, type + 4);
    d.insert(d.end(), body.begin(), body.end());
    be32(d, static_cast<std::uint32_t>(crc32(0, &d[start], static_cast<uInt>(d.size() - start))));
}

inline int channels(int colorType) {
    switch (colorType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// Bits of sample x of a packed row.
inline std::uint32_t sampleBits(const std::uint8_t* row, std::uint64_t bit, int bits) {
    std::uint32_t v = 0;
    for (int i = 0; i < bits; ++i, ++bit)
        v = (v << 1) | ((row[bit / 8] >> (7 - bit % 8)) & 1u);
    return v;
}

inline void putBits(std::uint8_t* row, std::uint64_t bit, int bits, std::uint32_t v) {
    for (int i = bits - 1; i >= 0; --i, ++bit)
        if ((v >> i) & 1u)
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (0x80 >> (bit % 8)));
}

} // namespace png_detail

inline std::vector<std::uint8_t> buildPng(const PngLayout& p) {
    using namespace png_detail;
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> ihdr;
    be32(ihdr, p.width);
    be32(ihdr, p.height);
    ihdr.insert(ihdr.end(),
                {static_cast<std::uint8_t>(p.depth), static_cast<std::uint8_t>(p.colorType), 0, 0,
                 static_cast<std::uint8_t>(p.interlaced ? 1 : 0)});
    chunk(out, "IHDR", ihdr);
    if (!p.palette.empty())
        chunk(out, "PLTE", p.palette);
    if (!p.trns.empty())
        chunk(out, "tRNS", p.trns);

    const int pixelBits = p.depth * channels(p.colorType);
    const auto rowBytes = [&](std::uint64_t w) { return (w * pixelBits + 7) / 8; };
    z_stream z{};
    deflateInit(&z, 1);
    std::vector<std::uint8_t> idat, buffer(1 << 16);
    const auto feed = [&](std::vector<std::uint8_t>& data, int flush) {
        z.next_in = data.data();
        z.avail_in = static_cast<uInt>(data.size());
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, flush);
            idat.insert(idat.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
            if (idat.size() >= (1u << 20)) {
                chunk(out, "IDAT", idat);
                idat.clear();
            }
        } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
    };
    std::vector<std::uint8_t> full(rowBytes(p.width));
    if (!p.interlaced) {
        std::vector<std::uint8_t> line(full.size() + 1);
        for (std::uint32_t y = 0; y < p.height; ++y) {
            std::fill(line.begin(), line.end(), 0);
            p.row(y, line.data() + 1);
            feed(line, Z_NO_FLUSH);
        }
    } else {
        // Adam7: seven sub-pictures of the pixels at these steps and offsets.
        static const int x0[7] = {0, 4, 0, 2, 0, 1, 0}, dx[7] = {8, 8, 4, 4, 2, 2, 1};
        static const int y0[7] = {0, 0, 4, 0, 2, 0, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
        for (int pass = 0; pass < 7; ++pass) {
            if (p.width <= std::uint32_t(x0[pass]))
                continue;
            const std::uint64_t w = (p.width - x0[pass] + dx[pass] - 1) / dx[pass];
            std::vector<std::uint8_t> line(rowBytes(w) + 1);
            for (std::uint32_t y = y0[pass]; y < p.height; y += dy[pass]) {
                std::fill(full.begin(), full.end(), 0);
                p.row(y, full.data());
                std::fill(line.begin(), line.end(), 0);
                for (std::uint64_t i = 0; i < w; ++i) {
                    const std::uint64_t x = x0[pass] + i * dx[pass];
                    for (int b = 0; b < pixelBits; b += 8) {
                        const int bits = std::min(8, pixelBits - b);
                        putBits(line.data() + 1, i * pixelBits + b, bits,
                                sampleBits(full.data(), x * pixelBits + b, bits));
                    }
                }
                feed(line, Z_NO_FLUSH);
            }
        }
    }
    std::vector<std::uint8_t> none;
    feed(none, Z_FINISH);
    deflateEnd(&z);
    chunk(out, "IDAT", idat);
    chunk(out, "IEND", {});
    return out;
}

} // namespace skyloom::test
