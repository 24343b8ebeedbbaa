// Writing BMP files (the reader is in BmpReader.cpp).

#include "graphics/io/BmpCodec.h"

#include "graphics/io/FileIO.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace skyloom::graphics {
namespace {

bool fail(std::string& error, const char* why) {
    error = why;
    return false;
}

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

// Eight pixels at a time: the shuffle packs each 128-bit half to 12 bytes,
// the lane permutation puts the two halves' 12 bytes next to each other.
__attribute__((target("avx2"))) int packPixelsAvx2(const QRgb* src, int count, std::uint8_t* p) {
    const __m256i order = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                           0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i halves = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    int x = 0;
    // Each store writes 32 bytes of which 24 count: three more pixels must follow.
    for (; x + 11 <= count; x += 8, p += 24) {
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        const __m256i packed =
            _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, order), halves);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), packed);
    }
    _mm256_zeroupper();
    return x;
}
#endif

void packRow24(const QRgb* src, int width, std::uint8_t* dst, std::size_t stride) {
    int done = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (avx2)
        done = packPixelsAvx2(src, width, dst);
    if (ssse3)
        done += packPixelsSsse3(src + done, width - done, dst + static_cast<std::size_t>(done) * 3);
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

// Buffers packed ahead of the writes.
constexpr int kBuffers = 4;

bool writeBmp24(AtomicFile& file, const QImage& source, std::string& error) {
    if (source.isNull())
        return fail(error, "no picture to save");
    const QImage image = asRgb32(source);
    const int w = image.width(), h = image.height();
    const std::vector<std::uint8_t> head = headers(w, h, 24, 0);
    file.write(head.data(), head.size());
    // Rows are packed into a ring of four buffers of about 128 KB, one
    // write call each: every page of a new buffer costs a page fault, which
    // on a virtual machine here took longer than writing the page (two 1 MB
    // buffers made a 6 MB picture 9.5 ms where 4 × 128 KB take 4).
    const std::size_t stride = ((static_cast<std::size_t>(w) * 24 + 31) / 32) * 4;
    const int rowsPerChunk = static_cast<int>(
        std::clamp<std::size_t>((std::size_t(1) << 17) / stride, 1, std::size_t(h)));
    const int chunks = (h + rowsPerChunk - 1) / rowsPerChunk;
    // One mapping for the ring, its pages put in place at once.
    const std::size_t chunkBytes = stride * std::size_t(rowsPerChunk);
    LargeBuffer ring(chunkBytes * std::size_t(std::min(chunks, kBuffers)));
    if (!ring.data())
        return fail(error, "out of memory for the picture's rows");
    auto buffer = [&](int chunk) {
        return ring.data() + chunkBytes * std::size_t(chunk % kBuffers);
    };
    auto rowsOf = [&](int chunk) { return std::min(rowsPerChunk, h - chunk * rowsPerChunk); };
    auto pack = [&](int chunk) {
        std::uint8_t* out = buffer(chunk);
        const int first = chunk * rowsPerChunk;
        for (int r = 0; r < rowsOf(chunk); ++r)
            packRow24(reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - first - r)), w,
                      out + stride * std::size_t(r), stride);
    };
    auto write = [&](int chunk) { file.write(buffer(chunk), stride * std::size_t(rowsOf(chunk))); };
    if (chunks < 4) {
        for (int c = 0; c < chunks && file.ok(); ++c) {
            pack(c);
            write(c);
        }
    } else {
        // A large picture: a helper packs the next chunk while this thread
        // hands the last one to the kernel, so the packing costs little more
        // than a plain write of the same bytes.
        std::mutex lock;
        std::condition_variable changed;
        int packed = 0, written = 0;
        bool stop = false;
        std::thread packer([&] {
            for (int c = 0; c < chunks; ++c) {
                {
                    std::unique_lock held(lock);
                    changed.wait(held, [&] { return stop || c - written < kBuffers; });
                    if (stop)
                        return;
                }
                pack(c);
                std::lock_guard held(lock);
                ++packed;
                changed.notify_all();
            }
        });
        for (int c = 0; c < chunks && file.ok(); ++c) {
            {
                std::unique_lock held(lock);
                changed.wait(held, [&] { return packed > c; });
            }
            write(c);
            std::lock_guard held(lock);
            ++written;
            changed.notify_all();
        }
        {
            std::lock_guard held(lock);
            stop = true;
            changed.notify_all();
        }
        packer.join();
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
