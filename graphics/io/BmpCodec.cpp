// Writing BMP files (the reader is in BmpReader.cpp).

#include "graphics/io/BmpCodec.h"

#include "graphics/io/FileIO.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>
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

bool writeBmp24(AtomicFile& file, const QImage& source, std::string& error) {
    if (source.isNull())
        return fail(error, "no picture to save");
    const QImage image = asRgb32(source);
    const int w = image.width(), h = image.height();
    const std::vector<std::uint8_t> head = headers(w, h, 24, 0);
    const std::size_t stride = ((static_cast<std::size_t>(w) * 24 + 31) / 32) * 4;
    const std::uint64_t total = head.size() + stride * std::size_t(h);
    // Taking the whole file's blocks first finds a full disk before any row
    // is packed, and the writes then cost the kernel a fifth less.
    if (!file.reserve(total))
        return fail(error, file.error().c_str());
    // The file goes out in 1 MB byte ranges at 1 MB boundaries: writes that
    // end inside a page of the file cost the kernel nearly twice as much.
    // The ranges go from the file's end to its start and rows last-first
    // within each, so that the picture is read top to bottom, the order of
    // its memory; read bottom-up (the file's order) its rows took twice as
    // long to pack. A file of eight ranges or more is shared by two threads,
    // each with its own buffer and every other range, so that one packs
    // while the other's rows go to the kernel, with nothing to wait for
    // between them (handing ranges from a packing thread to a writing one
    // cost a wake-up each, which on a virtual machine here took longer than
    // the packing); for a smaller file starting the thread costs more than
    // it saves. A row across a range's edge is packed whole into the
    // buffer's margin on each side, hence a row of room before and after.
    constexpr std::uint64_t kRange = std::uint64_t(1) << 20;
    const std::uint64_t range = std::min(kRange, total);
    const auto ranges = static_cast<int>((total + range - 1) / range);
    const std::uint64_t rowsStart = head.size();
    std::atomic<bool> failed{false};
    auto work = [&](int first, int step) {
        const LargeBuffer buffer(static_cast<std::size_t>(range) + 2 * stride,
                                 LargeBuffer::Pages::Huge);
        if (!buffer.data()) {
            failed = true;
            return;
        }
        std::uint8_t* const base = buffer.data() + stride; // holds the range's first byte
        for (int i = ranges - 1 - first; i >= 0 && !failed; i -= step) {
            const std::uint64_t from = range * std::uint64_t(i);
            const std::uint64_t to = std::min(total, from + range);
            if (from < rowsStart)
                std::memcpy(base + from, head.data() + from,
                            static_cast<std::size_t>(std::min(rowsStart, to) - from));
            if (to > rowsStart) {
                const auto top =
                    static_cast<int>(from > rowsStart ? (from - rowsStart) / stride : 0);
                const auto last = static_cast<int>((to - 1 - rowsStart) / stride);
                for (int r = last; r >= top; --r) {
                    const auto at =
                        static_cast<std::ptrdiff_t>(rowsStart + stride * std::size_t(r)) -
                        static_cast<std::ptrdiff_t>(from);
                    packRow24(reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - r)), w,
                              base + at, stride);
                }
            }
            if (!file.writeAt(from, base, static_cast<std::size_t>(to - from)))
                failed = true;
        }
    };
    if (ranges < 8) {
        work(0, 1);
    } else {
        std::thread helper(work, 1, 2);
        work(0, 2);
        helper.join();
    }
    if (failed)
        return fail(error,
                    file.ok() ? "out of memory for the picture's rows" : file.error().c_str());
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

// ---------------------------------------------------------------- strips

BmpStripFile::BmpStripFile(const std::string& path, QSize size)
    : size_(size), named_(!path.empty()) {
    if (size.width() <= 0 || size.height() <= 0) {
        fail("bad picture size");
        return;
    }
    stride_ = ((static_cast<std::size_t>(size.width()) * 24 + 31) / 32) * 4;
    std::string target = path;
    if (!named_) {
        std::error_code ec;
        const std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
        target = (ec ? std::filesystem::path("/tmp") : dir) / "skyloom-strips.bmp";
    }
    file_ = std::make_unique<AtomicFile>(target, kWorkFile);
    const std::vector<std::uint8_t> head = headers(size.width(), size.height(), 24, 0);
    headerBytes_ = head.size();
    if (!file_->write(head.data(), head.size())) {
        fail(file_->error());
        return;
    }
    // The rows are read back through a descriptor of their own, which keeps
    // the pixels whatever later happens to the file's name.
    readFd_ = ::open(file_->temporaryPath().c_str(), O_RDONLY | O_CLOEXEC);
    if (readFd_ < 0)
        fail("cannot read back " + file_->temporaryPath() + ": " + std::strerror(errno));
    packed_.resize(stride_);
}

BmpStripFile::~BmpStripFile() {
    if (readFd_ >= 0)
        ::close(readFd_);
}

bool BmpStripFile::fail(const std::string& why) {
    if (error_.empty())
        error_ = why.empty() ? "cannot write the picture" : why;
    return false;
}

bool BmpStripFile::writeRow(int y, const QRgb* row) {
    if (!ok() || !file_ || y < 0 || y >= size_.height())
        return fail("bad row");
    packRow24(row, size_.width(), packed_.data(), stride_);
    const std::uint64_t at = headerBytes_ + stride_ * std::size_t(size_.height() - 1 - y);
    if (!file_->writeAt(at, packed_.data(), stride_))
        return fail(file_->error());
    return true;
}

bool BmpStripFile::write(const QImage& source, QPoint at) {
    const QImage part = asRgb32(source);
    if (!ok() || !file_ || !QRect(QPoint(0, 0), size_).contains(QRect(at, part.size())))
        return fail("bad part of the picture");
    const std::size_t bytes = std::size_t(part.width()) * 3;
    for (int y = 0; y < part.height(); ++y) {
        packPixelsPlain(reinterpret_cast<const QRgb*>(part.constScanLine(y)), part.width(),
                        packed_.data());
        const std::uint64_t offset = headerBytes_ +
                                     stride_ * std::size_t(size_.height() - 1 - at.y() - y) +
                                     std::size_t(at.x()) * 3;
        if (!file_->writeAt(offset, packed_.data(), bytes))
            return fail(file_->error());
    }
    return true;
}

QImage BmpStripFile::read(const QRect& wanted) const {
    const QRect area = wanted & QRect(QPoint(0, 0), size_);
    if (readFd_ < 0 || area.isEmpty())
        return QImage();
    QImage out(area.size(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    const std::size_t bytes = std::size_t(area.width()) * 3;
    std::vector<std::uint8_t> row(bytes);
    for (int y = 0; y < area.height(); ++y) {
        const std::size_t offset = headerBytes_ +
                                   stride_ * std::size_t(size_.height() - 1 - area.y() - y) +
                                   std::size_t(area.x()) * 3;
        std::size_t got = 0;
        while (got < bytes) {
            const ssize_t n = ::pread(readFd_, row.data() + got, bytes - got, off_t(offset + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return QImage();
            got += std::size_t(n);
        }
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        const std::uint8_t* p = row.data();
        for (int x = 0; x < area.width(); ++x, p += 3)
            dst[x] = qRgb(p[2], p[1], p[0]);
    }
    return out;
}

bool BmpStripFile::finish() {
    if (!ok() || !file_)
        return fail("the picture was not written");
    if (named_ && !file_->commit())
        return fail(file_->error());
    // Unnamed: the temporary's name goes with the writer, the pixels stay.
    file_.reset();
    return true;
}

} // namespace skyloom::graphics
