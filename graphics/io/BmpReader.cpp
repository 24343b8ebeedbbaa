// Reading BMP files row by row: into a whole picture (decodeBmp) or into
// the fitted decode, which never holds more than a band of rows.

#include "graphics/io/BmpCodec.h"
#include "graphics/io/StreamInternal.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace skyloom::graphics {
namespace detail {
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

// A colour channel described by a bit mask of a 16- or 32-bit pixel; false
// when the bits are not contiguous.
template <typename Mask> bool setMask(Mask& c, std::uint32_t m) {
    c.mask = m;
    if (m == 0)
        return true;
    c.shift = std::countr_zero(m);
    c.max = m >> c.shift;
    return (c.max & (c.max + 1)) == 0;
}

template <typename Mask> int channel(const Mask& c, std::uint32_t pixel) {
    if (c.max == 0)
        return 0;
    const std::uint32_t v = (pixel & c.mask) >> c.shift;
    return static_cast<int>((static_cast<std::uint64_t>(v) * 255 + c.max / 2) / c.max);
}

// Run-length encoded rows, bottom row first, each handed to the sink once
// complete. Rows start black; a delta or the end of the bitmap leaves the
// rest black. Every position is checked.
class RleRows {
public:
    RleRows(RowSink& sink, const std::vector<QRgb>& palette, bool four, int width, int height)
        : sink_(sink), palette_(palette), four_(four), width_(width), height_(height) {}

    bool run(ByteStream& in, std::string& error) {
        begin();
        std::uint8_t literal[256];
        while (true) {
            std::uint8_t pair[2];
            if (in.read(pair, 2) < 2) {
                // A file cut before its end-of-bitmap marker is accepted only
                // when every row has been written already.
                if (y_ >= height_)
                    return true;
                return fail(error, "RLE data ends early");
            }
            const int count = pair[0];
            const int value = pair[1];
            if (count > 0) {
                if (x_ + count > width_ || y_ >= height_)
                    return fail(error, "RLE run goes past the end of a row");
                for (int i = 0; i < count; ++i) {
                    const int index = four_ ? ((i & 1) ? (value & 0x0f) : (value >> 4)) : value;
                    if (!put(index))
                        return fail(error, "palette index past the palette");
                }
                continue;
            }
            if (value == 0) { // end of line
                if (!nextRow(error))
                    return false;
                continue;
            }
            if (value == 1) { // end of bitmap: the rows left stay black
                while (y_ < height_)
                    if (!nextRow(error))
                        return false;
                return true;
            }
            if (value == 2) { // delta
                std::uint8_t delta[2];
                if (in.read(delta, 2) < 2)
                    return fail(error, "RLE delta cut off");
                if (x_ + delta[0] > width_ || y_ + delta[1] >= height_)
                    return fail(error, "RLE delta goes past the picture");
                const int x = x_ + delta[0];
                for (int i = 0; i < delta[1]; ++i)
                    if (!nextRow(error))
                        return false;
                x_ = x;
                continue;
            }
            // Absolute mode: `value` literal pixels, padded to a 16-bit boundary.
            const int pixels = value;
            const std::size_t bytes = four_ ? (static_cast<std::size_t>(pixels) + 1) / 2 : pixels;
            const std::size_t padded = (bytes + 1) & ~static_cast<std::size_t>(1);
            const std::size_t got = in.read(literal, padded);
            if (got < bytes)
                return fail(error, "RLE literal run cut off");
            if (x_ + pixels > width_ || y_ >= height_)
                return fail(error, "RLE run goes past the end of a row");
            for (int i = 0; i < pixels; ++i) {
                const int index = four_
                                      ? ((i & 1) ? (literal[i / 2] & 0x0f) : (literal[i / 2] >> 4))
                                      : literal[i];
                if (!put(index))
                    return fail(error, "palette index past the palette");
            }
        }
    }

private:
    // File row y is picture row height-1-y.
    void begin() {
        x_ = 0;
        if (y_ < height_) {
            row_ = sink_.rowBuffer(height_ - 1 - y_);
            std::fill(row_, row_ + width_, qRgb(0, 0, 0));
        }
    }
    bool nextRow(std::string& error) {
        if (y_ < height_ && !sink_.rowDone(height_ - 1 - y_))
            return fail(error, "stopped");
        ++y_;
        begin();
        return true;
    }
    bool put(int index) {
        if (index >= static_cast<int>(palette_.size()))
            return false;
        row_[x_++] = palette_[index];
        return true;
    }

    RowSink& sink_;
    const std::vector<QRgb>& palette_;
    bool four_;
    int width_, height_;
    int x_ = 0, y_ = 0;
    QRgb* row_ = nullptr;
};

} // namespace

bool BmpRowReader::open(const DecodeLimits& limits, std::string& error) {
    // Headers, masks and palette lie within the first 14 + 124 + 16 + 1024 bytes.
    std::uint8_t head[1280] = {};
    const std::size_t size = source_.readAt(0, head, sizeof head);
    const std::uint64_t fileSize = source_.size();
    const std::uint8_t* d = head;
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

    rle_ = compression == BiRle8 || compression == BiRle4;
    fields_ = compression == BiBitfields || compression == BiAlphaBitfields;
    if (compression == BiRle8 && bpp != 8)
        return fail(error, "RLE8 needs 8 bits per pixel");
    if (compression == BiRle4 && bpp != 4)
        return fail(error, "RLE4 needs 4 bits per pixel");
    if (fields_ && bpp != 16 && bpp != 32)
        return fail(error, "bit fields need 16 or 32 bits per pixel");
    if (!rle_ && !fields_ && compression != BiRgb)
        return fail(error, "unsupported BMP compression");
    if (rle_ && topDown)
        return fail(error, "RLE BMP files cannot be top-down");

    // Bit masks: inside V2+ headers, else right after a 40-byte header.
    std::uint64_t tableStart = kFileHeaderSize + static_cast<std::uint64_t>(headerSize);
    if (fields_) {
        const std::uint8_t* masks = h + 40;
        if (headerSize < 52) {
            const std::uint64_t maskBytes = compression == BiAlphaBitfields ? 16 : 12;
            if (tableStart + maskBytes > size)
                return fail(error, "BMP bit masks cut off");
            masks = d + tableStart;
            tableStart += maskBytes;
        }
        if (!setMask(red_, u32(masks)) || !setMask(green_, u32(masks + 4)) ||
            !setMask(blue_, u32(masks + 8)))
            return fail(error, "BMP bit masks are not contiguous");
    } else if (bpp == 16) {
        setMask(red_, 0x7c00);
        setMask(green_, 0x03e0);
        setMask(blue_, 0x001f);
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
    if (pixelOffset > fileSize)
        return fail(error, "BMP pixel data missing");

    stride_ = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
    // Uncompressed data must be complete before anything is allocated; the
    // last row may omit its padding.
    if (!rle_) {
        const std::uint64_t lastRow = (static_cast<std::uint64_t>(width) * bpp + 7) / 8;
        if (stride_ * (height - 1) + lastRow > fileSize - pixelOffset)
            return fail(error, "BMP pixel data cut off");
    }
    pixelOffset_ = pixelOffset;
    info_.width = static_cast<int>(width);
    info_.height = static_cast<int>(height);
    info_.bitsPerPixel = bpp;
    info_.compression = static_cast<int>(compression);
    info_.topDown = topDown;
    info_.palette = std::move(palette);
    return true;
}

bool BmpRowReader::runRle(RowSink& sink, std::string& error) {
    ByteStream in(source_, pixelOffset_);
    RleRows rows(sink, info_.palette, info_.compression == BiRle4, info_.width, info_.height);
    return rows.run(in, error);
}

bool BmpRowReader::run(RowSink& sink, std::string& error) {
    if (rle_)
        return runRle(sink, error);
    const int w = info_.width, height = info_.height, bpp = info_.bitsPerPixel;
    const int pal = static_cast<int>(info_.palette.size());
    const std::vector<QRgb>& palette = info_.palette;
    const std::size_t rowBytes =
        static_cast<std::size_t>((static_cast<std::uint64_t>(w) * bpp + 7) / 8);
    std::vector<std::uint8_t> raw(rowBytes);
    for (int y = 0; y < height && !sink.complete(); ++y) {
        if (!sink.wants(y))
            continue;
        const std::uint64_t fileRow = info_.topDown ? y : height - 1 - y;
        if (source_.readAt(pixelOffset_ + fileRow * stride_, raw.data(), rowBytes) < rowBytes)
            return fail(error, "BMP pixel data cut off");
        const std::uint8_t* src = raw.data();
        QRgb* dst = sink.rowBuffer(y);
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
                dst[x] = qRgb(channel(red_, p), channel(green_, p), channel(blue_, p));
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = qRgb(src[2], src[1], src[0]);
            break;
        case 32:
            if (fields_) {
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t p = u32(src + 4 * x);
                    dst[x] = qRgb(channel(red_, p), channel(green_, p), channel(blue_, p));
                }
            } else {
                for (int x = 0; x < w; ++x, src += 4)
                    dst[x] = qRgb(src[2], src[1], src[0]);
            }
            break;
        }
        if (!sink.rowDone(y))
            return fail(error, "stopped");
    }
    return true;
}

} // namespace detail

bool decodeBmp(std::span<const std::uint8_t> data, QImage& out, std::string& error,
               const DecodeLimits& limits, BmpInfo* info) {
    out = QImage();
    detail::MemorySource source(data);
    detail::BmpRowReader reader(source);
    if (!reader.open(limits, error))
        return false;
    QImage image(reader.size(), QImage::Format_RGB32);
    if (image.isNull())
        return detail::fail(error, "out of memory for the BMP picture");
    detail::ImageSink sink(image);
    if (!reader.run(sink, error))
        return false;
    if (info)
        *info = reader.info();
    out = std::move(image);
    return true;
}

} // namespace skyloom::graphics
