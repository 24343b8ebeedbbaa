#pragma once
// Pieces of the row-by-row decoders shared by the BMP and PNG readers and
// the fitted decode (FitStream): where bytes come from, where rows go.

#include "graphics/io/BmpCodec.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/Limits.h"
#include "graphics/io/Resample.h"

#include <QImage>
#include <QRectF>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics::detail {

/// Bytes of a file or of memory, read at any offset.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    /// Reads up to n bytes at offset; returns how many were read.
    virtual std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t n) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> data) : data_(data) {}
    std::uint64_t size() const override { return data_.size(); }
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t n) override;

private:
    std::span<const std::uint8_t> data_;
};

/// An open file (not owned); its size is taken when made.
class FileSource final : public ByteSource {
public:
    explicit FileSource(std::FILE* file);
    std::uint64_t size() const override { return size_; }
    std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t n) override;

private:
    int fd_;
    std::uint64_t size_ = 0;
};

/// Reads a ByteSource from an offset onwards through a buffer.
class ByteStream {
public:
    ByteStream(ByteSource& source, std::uint64_t start) : source_(source), next_(start) {}
    /// Up to n bytes; returns how many were read (fewer only at the end).
    std::size_t read(void* out, std::size_t n);
    bool get(std::uint8_t& byte) {
        if (at_ == end_ && !refill())
            return false;
        byte = buffer_[at_++];
        return true;
    }

private:
    bool refill();
    ByteSource& source_;
    std::uint64_t next_;
    std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(64 * 1024);
    std::size_t at_ = 0, end_ = 0;
};

/// Where a decoder writes rows, in picture coordinates (row 0 at the top).
/// Every row is written whole (width Format_RGB32 pixels) and then done.
class RowSink {
public:
    virtual ~RowSink() = default;
    /// Where to write picture row y.
    virtual QRgb* rowBuffer(int y) = 0;
    /// Row y is written; false stops the decode.
    virtual bool rowDone(int y) = 0;
    /// False for rows the sink ignores: a decoder may skip them unread.
    virtual bool wants(int y) const {
        (void)y;
        return true;
    }
    /// True once nothing more is needed; the decoder may stop.
    virtual bool complete() const { return false; }
    /// Asked during long work between rows; false stops the decode.
    virtual bool keepGoing() { return true; }
    /// The whole picture, when the rows go straight into one (an interlaced
    /// PNG is then decoded into it instead of into a copy).
    virtual QImage* wholePicture() { return nullptr; }
};

/// The rows into a whole picture.
class ImageSink final : public RowSink {
public:
    explicit ImageSink(QImage& image) : image_(image) {}
    QRgb* rowBuffer(int y) override { return reinterpret_cast<QRgb*>(image_.scanLine(y)); }
    bool rowDone(int) override { return true; }
    QImage* wholePicture() override { return &image_; }

private:
    QImage& image_;
};

/// Most a band of source rows may take: a target far smaller than the
/// picture (a few rows for millions of source rows) would need more.
inline constexpr std::int64_t kMaxBandBytes = 128LL * 1024 * 1024;

/// The rows resampled onto a target as they come, top to bottom or bottom
/// to top: only the band of source rows one target row needs is held.
class RowFitter final : public RowSink {
public:
    /// With `rows`, each target row goes there instead of into a picture.
    RowFitter(QSize picture, QRectF area, QSize target, bool bottomUp,
              std::function<bool()> aborted, const TargetRows* rows = nullptr);
    /// False when the target or the band could not be allocated, or the
    /// band would be larger than kMaxBandBytes (bandTooLarge()).
    bool ready() const { return !image_.isNull() && !ring_.empty(); }
    bool bandTooLarge() const { return bandTooLarge_; }
    QRgb* rowBuffer(int y) override;
    bool rowDone(int y) override;
    bool wants(int y) const override { return y >= vertical_.lowest() && y <= vertical_.highest(); }
    bool complete() const override { return bottomUp_ ? next_ < 0 : next_ >= height_; }
    bool keepGoing() override;
    bool aborted() const { return aborted_; }
    /// `rows` said no to a row.
    bool refused() const { return refused_; }
    int rowsDone() const { return rowsDone_; }
    std::int64_t bandBytes() const {
        return static_cast<std::int64_t>(ring_.size() + scratch_.size()) * 4;
    }
    QImage take() { return std::move(image_); }

private:
    QRgb* slot(int y) {
        return ring_.data() +
               static_cast<std::size_t>(y % depth_) * static_cast<std::size_t>(width_);
    }
    void writeTargetRow(int d);

    ResampleAxis horizontal_, vertical_;
    RowResampler resampler_;
    bool bottomUp_;
    std::function<bool()> abortedFn_;
    int width_, depth_;
    std::vector<QRgb> ring_, scratch_;
    std::vector<const QRgb*> rows_;
    const TargetRows* rowsOut_;
    QImage image_;
    int height_;
    int next_;
    int rowsDone_ = 0;
    bool aborted_ = false;
    bool refused_ = false;
    bool bandTooLarge_ = false;
};

/// A BMP read from its header on: the size, then its rows into a sink.
class BmpRowReader {
public:
    explicit BmpRowReader(ByteSource& source) : source_(source) {}
    /// Reads and checks the headers, palette and masks.
    bool open(const DecodeLimits& limits, std::string& error);
    QSize size() const { return QSize(info_.width, info_.height); }
    /// RLE data comes bottom row first and can only be read in that order.
    bool rowsFromBottom() const { return rle_; }
    const BmpInfo& info() const { return info_; }
    /// Decodes every row the sink wants (RLE: every row) into it.
    bool run(RowSink& sink, std::string& error);

private:
    bool runRle(RowSink& sink, std::string& error);
    ByteSource& source_;
    BmpInfo info_;
    std::uint64_t pixelOffset_ = 0, stride_ = 0;
    bool rle_ = false, fields_ = false;
    struct Mask {
        std::uint32_t mask = 0, max = 0;
        int shift = 0;
    } red_, green_, blue_;
};

/// Interlaced PNGs are decoded whole (4 bytes a pixel, 8 for 16-bit ones
/// with transparency) before their rows go on; beyond this they are
/// refused. It leaves room below kWholePictureBytes for the band and the
/// target.
inline constexpr std::int64_t kInterlacedPictureBytes = 256LL * 1024 * 1024;

/// A PNG read through libpng a row at a time, colours as 8-bit BGRX,
/// transparent parts laid on black.
class PngRowReader {
public:
    explicit PngRowReader(ByteSource& source);
    ~PngRowReader();
    PngRowReader(const PngRowReader&) = delete;
    PngRowReader& operator=(const PngRowReader&) = delete;
    bool open(const DecodeLimits& limits, std::string& error);
    QSize size() const;
    bool interlaced() const;
    /// The whole picture an interlaced file is decoded into first (0: none,
    /// or more than is allowed).
    std::int64_t wholeBytes() const;
    /// Interlaced pictures are decoded whole first (up to kWholePictureBytes).
    bool run(RowSink& sink, std::string& error);

    struct State; // libpng's structures and the reading position

private:
    std::unique_ptr<State> state_;
};

} // namespace skyloom::graphics::detail
