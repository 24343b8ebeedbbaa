#include "graphics/io/BmpCodec.h"

#include "graphics/io/FileIO.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace skyloom::graphics {
namespace {

constexpr int kFileHeaderSize = 14;
enum Compression { BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3, BiAlphaBitfields = 6 };

std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t s32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(u32(p));
}

bool fail(std::string& error, const char* why) {
    error = why;
    return false;
}

// One colour channel described by a bit mask of a 16- or 32-bit pixel.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0; // mask >> shift
    bool set(std::uint32_t m) {
        mask = m;
        if (m == 0)
            return true;
        shift = std::countr_zero(m);
        max = m >> shift;
        return (max & (max + 1)) == 0; // contiguous bits only
    }
    int value(std::uint32_t pixel) const {
        if (max == 0)
            return 0;
        std::uint32_t v = (pixel & mask) >> shift;
        return static_cast<int>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
    }
};

// Writes run-length encoded pixels into the picture; every position is checked.
class RleDecoder {
public:
    RleDecoder(QImage& image, const std::vector<QRgb>& palette, bool four)
        : image_(image), palette_(palette), four_(four), width_(image.width()),
          height_(image.height()) {}

    bool run(std::span<const std::uint8_t> data, std::string& error) {
        std::size_t pos = 0;
        const std::size_t n = data.size();
        while (true) {
            if (pos + 2 > n) {
                // A file cut before its end-of-bitmap marker is accepted only
                // when every row has been written already.
                if (y_ >= height_)
                    return true;
                return fail(error, "RLE data ends early");
            }
            const int count = data[pos];
            const int value = data[pos + 1];
            pos += 2;
            if (count > 0) {
                if (x_ + count > width_ || y_ >= height_)
                    return fail(error, "RLE run goes past the end of a row");
                for (int i = 0; i < count; ++i) {
                    int index = four_ ? ((i & 1) ? (value & 0x0f) : (value >> 4)) : value;
                    if (!put(index))
                        return fail(error, "palette index past the palette");
                }
                continue;
            }
            if (value == 0) { // end of line
                x_ = 0;
                ++y_;
                continue;
            }
            if (value == 1) // end of bitmap
                return true;
            if (value == 2) { // delta
                if (pos + 2 > n)
                    return fail(error, "RLE delta cut off");
                const int dx = data[pos];
                const int dy = data[pos + 1];
                pos += 2;
                if (x_ + dx > width_ || y_ + dy >= height_)
                    return fail(error, "RLE delta goes past the picture");
                x_ += dx;
                y_ += dy;
                continue;
            }
            // Absolute mode: `value` literal pixels, padded to a 16-bit boundary.
            const int pixels = value;
            const std::size_t bytes = four_ ? (static_cast<std::size_t>(pixels) + 1) / 2 : pixels;
            const std::size_t padded = (bytes + 1) & ~static_cast<std::size_t>(1);
            if (pos + bytes > n)
                return fail(error, "RLE literal run cut off");
            if (x_ + pixels > width_ || y_ >= height_)
                return fail(error, "RLE run goes past the end of a row");
            for (int i = 0; i < pixels; ++i) {
                int index = four_
                                ? ((i & 1) ? (data[pos + i / 2] & 0x0f) : (data[pos + i / 2] >> 4))
                                : data[pos + i];
                if (!put(index))
                    return fail(error, "palette index past the palette");
            }
            pos += std::min(padded, n - pos);
        }
    }

private:
    bool put(int index) {
        if (index >= static_cast<int>(palette_.size()))
            return false;
        // RLE files are always bottom-up: file row y is picture row height-1-y.
        reinterpret_cast<QRgb*>(image_.scanLine(height_ - 1 - y_))[x_] = palette_[index];
        ++x_;
        return true;
    }

    QImage& image_;
    const std::vector<QRgb>& palette_;
    bool four_;
    int width_, height_;
    int x_ = 0, y_ = 0;
};

} // namespace

bool decodeBmp(std::span<const std::uint8_t> data, QImage& out, std::string& error,
               const DecodeLimits& limits, BmpInfo* info) {
    out = QImage();
    const std::size_t size = data.size();
    const std::uint8_t* d = data.data();
    if (size < kFileHeaderSize + 12 || d[0] != 'B' || d[1] != 'M')
        return fail(error, "not a BMP file");
    const std::uint32_t pixelOffset = u32(d + 10);
    const std::uint32_t headerSize = u32(d + 14);
    const bool core = headerSize == 12;
    if (!(core || headerSize == 16 || headerSize == 40 || headerSize == 52 || headerSize == 56 ||
          headerSize == 64 || headerSize == 108 || headerSize == 124))
        return fail(error, "unknown BMP header size");
    if (kFileHeaderSize + static_cast<std::uint64_t>(headerSize) > size)
        return fail(error, "BMP header cut off");
    const std::uint8_t* h = d + kFileHeaderSize;

    std::int64_t width, height;
    int bpp;
    std::uint32_t compression = BiRgb, colorsUsed = 0;
    if (core) {
        width = u16(h + 4);
        height = u16(h + 6);
        bpp = u16(h + 10);
    } else {
        width = s32(h + 4);
        const std::int32_t rawHeight = s32(h + 8);
        if (rawHeight == INT_MIN)
            return fail(error, "BMP height out of range");
        height = rawHeight;
        bpp = u16(h + 14);
        if (headerSize >= 20)
            compression = u32(h + 16);
        if (headerSize >= 36)
            colorsUsed = u32(h + 32);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0)
        return fail(error, "BMP width or height is zero or negative");
    if (!sizeAllowed(width, height, limits))
        return fail(error, "BMP picture is too large");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return fail(error, "unsupported BMP bit depth");

    const bool rle = compression == BiRle8 || compression == BiRle4;
    const bool fields = compression == BiBitfields || compression == BiAlphaBitfields;
    if (compression == BiRle8 && bpp != 8)
        return fail(error, "RLE8 needs 8 bits per pixel");
    if (compression == BiRle4 && bpp != 4)
        return fail(error, "RLE4 needs 4 bits per pixel");
    if (fields && bpp != 16 && bpp != 32)
        return fail(error, "bit fields need 16 or 32 bits per pixel");
    if (!rle && !fields && compression != BiRgb)
        return fail(error, "unsupported BMP compression");
    if (rle && topDown)
        return fail(error, "RLE BMP files cannot be top-down");

    // Bit masks: inside V2+ headers, else right after a 40-byte header.
    std::uint64_t tableStart = kFileHeaderSize + static_cast<std::uint64_t>(headerSize);
    Channel red, green, blue;
    if (fields) {
        const std::uint8_t* masks = h + 40;
        if (headerSize < 52) {
            const std::uint64_t maskBytes = compression == BiAlphaBitfields ? 16 : 12;
            if (tableStart + maskBytes > size)
                return fail(error, "BMP bit masks cut off");
            masks = d + tableStart;
            tableStart += maskBytes;
        }
        if (!red.set(u32(masks)) || !green.set(u32(masks + 4)) || !blue.set(u32(masks + 8)))
            return fail(error, "BMP bit masks are not contiguous");
    } else if (bpp == 16) {
        red.set(0x7c00);
        green.set(0x03e0);
        blue.set(0x001f);
    }

    std::vector<QRgb> palette;
    if (bpp <= 8) {
        if (colorsUsed > 256)
            return fail(error, "BMP palette has more than 256 entries");
        const std::uint32_t entries = colorsUsed ? colorsUsed : (1u << bpp);
        const std::uint64_t entrySize = core ? 3 : 4;
        const std::uint64_t paletteEnd = tableStart + entries * entrySize;
        if (paletteEnd > size)
            return fail(error, "BMP palette cut off");
        if (pixelOffset < paletteEnd)
            return fail(error, "BMP pixel data overlaps the palette");
        palette.reserve(entries);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = d + tableStart + i * entrySize;
            palette.push_back(qRgb(e[2], e[1], e[0]));
        }
    } else if (pixelOffset < tableStart) {
        return fail(error, "BMP pixel data overlaps the header");
    }
    if (pixelOffset > size)
        return fail(error, "BMP pixel data missing");

    const std::span<const std::uint8_t> pixels = data.subspan(pixelOffset);
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
    // Uncompressed data must be complete before anything is allocated; the
    // last row may omit its padding.
    if (!rle) {
        const std::uint64_t lastRow = (static_cast<std::uint64_t>(width) * bpp + 7) / 8;
        if (stride * (height - 1) + lastRow > pixels.size())
            return fail(error, "BMP pixel data cut off");
    }

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        return fail(error, "out of memory for the BMP picture");

    if (rle) {
        image.fill(qRgb(0, 0, 0));
        RleDecoder decoder(image, palette, compression == BiRle4);
        if (!decoder.run(pixels, error))
            return false;
    } else {
        const int w = static_cast<int>(width);
        const int pal = static_cast<int>(palette.size());
        for (std::int64_t row = 0; row < height; ++row) {
            const std::uint8_t* src = pixels.data() + row * stride;
            const int y = static_cast<int>(topDown ? row : height - 1 - row);
            QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / bpp;
                const int mask = (1 << bpp) - 1;
                for (int x = 0; x < w; ++x) {
                    const int shift = 8 - bpp * (x % perByte + 1);
                    const int index = (src[x / perByte] >> shift) & mask;
                    if (index >= pal)
                        return fail(error, "palette index past the palette");
                    dst[x] = palette[index];
                }
                break;
            }
            case 16:
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t p = u16(src + 2 * x);
                    dst[x] = qRgb(red.value(p), green.value(p), blue.value(p));
                }
                break;
            case 24:
                for (int x = 0; x < w; ++x, src += 3)
                    dst[x] = qRgb(src[2], src[1], src[0]);
                break;
            case 32:
                if (fields) {
                    for (int x = 0; x < w; ++x) {
                        const std::uint32_t p = u32(src + 4 * x);
                        dst[x] = qRgb(red.value(p), green.value(p), blue.value(p));
                    }
                } else {
                    for (int x = 0; x < w; ++x, src += 4)
                        dst[x] = qRgb(src[2], src[1], src[0]);
                }
                break;
            }
        }
    }
    if (info) {
        info->width = static_cast<int>(width);
        info->height = static_cast<int>(height);
        info->bitsPerPixel = bpp;
        info->compression = static_cast<int>(compression);
        info->topDown = topDown;
        info->palette = std::move(palette);
    }
    out = std::move(image);
    return true;
}

namespace {

void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// File header and BITMAPINFOHEADER for a bottom-up BI_RGB picture.
std::vector<std::uint8_t> headers(int width, int height, int bpp, int paletteEntries) {
    const std::uint32_t stride = ((static_cast<std::uint32_t>(width) * bpp + 31) / 32) * 4;
    const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(height);
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(paletteEntries);
    std::vector<std::uint8_t> h(offset, 0);
    h[0] = 'B';
    h[1] = 'M';
    put32(&h[2], offset + imageBytes);
    put32(&h[10], offset);
    put32(&h[14], 40);
    put32(&h[18], static_cast<std::uint32_t>(width));
    put32(&h[22], static_cast<std::uint32_t>(height));
    put16(&h[26], 1);
    put16(&h[28], static_cast<std::uint32_t>(bpp));
    put32(&h[34], imageBytes);
    put32(&h[38], 2835); // 72 dots per inch
    put32(&h[42], 2835);
    put32(&h[46], static_cast<std::uint32_t>(paletteEntries));
    return h;
}

// Converts one RGB32 row to packed BGR with zero padding up to the stride.
void packPixelsPlain(const QRgb* src, int count, std::uint8_t* p) {
    for (int x = 0; x < count; ++x, p += 3) {
        const QRgb c = src[x];
        p[0] = static_cast<std::uint8_t>(c);
        p[1] = static_cast<std::uint8_t>(c >> 8);
        p[2] = static_cast<std::uint8_t>(c >> 16);
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Four pixels at a time: one byte shuffle drops the fourth byte of each.
__attribute__((target("ssse3"))) int packPixelsSsse3(const QRgb* src, int count, std::uint8_t* p) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int x = 0;
    // Each store writes 16 bytes of which 12 count; the last group is left to the plain loop.
    for (; x + 6 <= count; x += 4, p += 12) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_shuffle_epi8(pixels, order));
    }
    return x;
}
#endif

void packRow24(const QRgb* src, int width, std::uint8_t* dst, std::size_t stride) {
    int done = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        done = packPixelsSsse3(src, width, dst);
#endif
    packPixelsPlain(src + done, width - done, dst + static_cast<std::size_t>(done) * 3);
    std::memset(dst + static_cast<std::size_t>(width) * 3, 0,
                stride - static_cast<std::size_t>(width) * 3);
}

QImage asRgb32(const QImage& image) {
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

std::vector<std::uint8_t> encodeBmp24(const QImage& source) {
    const QImage image = asRgb32(source);
    const int w = image.width(), h = image.height();
    std::vector<std::uint8_t> out = headers(w, h, 24, 0);
    const std::size_t stride = ((static_cast<std::size_t>(w) * 24 + 31) / 32) * 4;
    const std::size_t start = out.size();
    out.resize(start + stride * h);
    for (int y = 0; y < h; ++y)
        packRow24(reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y)), w,
                  out.data() + start + stride * y, stride);
    return out;
}

bool writeBmp24(AtomicFile& file, const QImage& source, std::string& error) {
    if (source.isNull())
        return fail(error, "no picture to save");
    const QImage image = asRgb32(source);
    const int w = image.width(), h = image.height();
    const std::vector<std::uint8_t> head = headers(w, h, 24, 0);
    file.write(head.data(), head.size());
    // Rows are packed into a buffer of about 1 MB per write call.
    const std::size_t stride = ((static_cast<std::size_t>(w) * 24 + 31) / 32) * 4;
    const std::size_t rowsPerChunk = std::max<std::size_t>(1, (std::size_t(1) << 20) / stride);
    std::vector<std::uint8_t> chunk(stride * std::min<std::size_t>(rowsPerChunk, h));
    for (int y = 0; y < h && file.ok();) {
        std::size_t filled = 0;
        for (std::size_t r = 0; r < rowsPerChunk && y < h; ++r, ++y) {
            packRow24(reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y)), w,
                      chunk.data() + filled, stride);
            filled += stride;
        }
        file.write(chunk.data(), filled);
    }
    if (!file.ok())
        return fail(error, file.error().c_str());
    return true;
}

bool writeBmp24(const std::string& path, const QImage& image, std::string& error) {
    AtomicFile file(path, kWorkFile);
    if (!writeBmp24(file, image, error))
        return false;
    if (!file.commit())
        return fail(error, file.error().c_str());
    return true;
}

bool writeBmp8(const std::string& path, int width, int height,
               std::span<const std::uint8_t> indexes, std::span<const QRgb> palette,
               std::string& error) {
    if (width <= 0 || height <= 0 || palette.empty() || palette.size() > 256 ||
        indexes.size() != static_cast<std::size_t>(width) * height)
        return fail(error, "bad 8-bit picture");
    const int entries = static_cast<int>(palette.size());
    std::vector<std::uint8_t> out = headers(width, height, 8, entries);
    for (int i = 0; i < entries; ++i) {
        std::uint8_t* e = &out[54 + 4 * i];
        e[0] = static_cast<std::uint8_t>(qBlue(palette[i]));
        e[1] = static_cast<std::uint8_t>(qGreen(palette[i]));
        e[2] = static_cast<std::uint8_t>(qRed(palette[i]));
    }
    const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t(3);
    const std::size_t start = out.size();
    out.resize(start + stride * height, 0);
    for (int y = 0; y < height; ++y)
        std::memcpy(out.data() + start + stride * y,
                    indexes.data() + static_cast<std::size_t>(height - 1 - y) * width, width);
    AtomicFile file(path, kWorkFile);
    file.write(out.data(), out.size());
    if (!file.commit())
        return fail(error, file.error().c_str());
    return true;
}

} // namespace skyloom::graphics
