#include "graphics/io/FitStream.h"

#include "graphics/io/FileIO.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/StreamInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::graphics {
namespace detail {

std::size_t MemorySource::readAt(std::uint64_t offset, void* buffer, std::size_t n) {
    if (offset >= data_.size())
        return 0;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(n, data_.size() - offset));
    std::memcpy(buffer, data_.data() + offset, count);
    return count;
}

FileSource::FileSource(std::FILE* file) : fd_(::fileno(file)) {
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && st.st_size > 0)
        size_ = static_cast<std::uint64_t>(st.st_size);
}

std::size_t FileSource::readAt(std::uint64_t offset, void* buffer, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, static_cast<char*>(buffer) + done, n - done,
                                    static_cast<off_t>(offset + done));
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool ByteStream::refill() {
    end_ = source_.readAt(next_, buffer_.data(), buffer_.size());
    next_ += end_;
    at_ = 0;
    return end_ > 0;
}

std::size_t ByteStream::read(void* out, std::size_t n) {
    auto* p = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < n) {
        if (at_ == end_ && !refill())
            break;
        const std::size_t part = std::min(n - done, end_ - at_);
        std::memcpy(p + done, buffer_.data() + at_, part);
        at_ += part;
        done += part;
    }
    return done;
}

RowFitter::RowFitter(QSize picture, QRectF area, QSize target, bool bottomUp,
                     std::function<bool()> aborted, const TargetRows* rows)
    : horizontal_(area.x(), area.width(), target.width(), picture.width()),
      vertical_(area.y(), area.height(), target.height(), picture.height()),
      resampler_(horizontal_, vertical_, target.width()), bottomUp_(bottomUp),
      abortedFn_(std::move(aborted)), width_(picture.width()), depth_(vertical_.maxCount()),
      rowsOut_(rows), image_(rows ? QSize(target.width(), 1) : target, QImage::Format_RGB32),
      height_(target.height()), next_(bottomUp ? target.height() - 1 : 0) {
    // The band: one target row's source rows. Target rows read source rows
    // in order, so a row is overwritten only once no target row needs it.
    const std::size_t band = static_cast<std::size_t>(depth_) * static_cast<std::size_t>(width_);
    if (static_cast<std::int64_t>(band) * 4 > kMaxBandBytes) {
        bandTooLarge_ = true;
        return;
    }
    mapInAtOnce(image_);
    ring_.resize(band);
    scratch_.resize(static_cast<std::size_t>(width_));
    rows_.resize(static_cast<std::size_t>(depth_));
}

QRgb* RowFitter::rowBuffer(int y) {
    return wants(y) ? slot(y) : scratch_.data();
}

void RowFitter::writeTargetRow(int d) {
    for (int k = 0; k < vertical_.count(d); ++k)
        rows_[static_cast<std::size_t>(k)] = slot(vertical_.first(d) + k);
    QRgb* into = reinterpret_cast<QRgb*>(image_.scanLine(rowsOut_ ? 0 : d));
    resampler_.resampleRow(d, rows_.data(), into, 0, image_.width());
    if (rowsOut_ && !refused_ && !(*rowsOut_)(d, into))
        refused_ = true;
}

bool RowFitter::rowDone(int y) {
    ++rowsDone_;
    if (bottomUp_) {
        while (next_ >= 0 && vertical_.first(next_) >= y)
            writeTargetRow(next_--);
    } else {
        while (next_ < height_ && vertical_.first(next_) + vertical_.count(next_) - 1 <= y)
            writeTargetRow(next_++);
    }
    return !refused_ && keepGoing();
}

bool RowFitter::keepGoing() {
    if (!aborted_ && abortedFn_ && abortedFn_())
        aborted_ = true;
    return !aborted_;
}

} // namespace detail

QRectF coverArea(QSize picture, QSize target) {
    const double w = picture.width(), h = picture.height();
    const double scale = std::max(target.width() / w, target.height() / h);
    const double scaledW = std::max<double>(target.width(), std::round(w * scale));
    const double scaledH = std::max<double>(target.height(), std::round(h * scale));
    const double offsetX = std::floor((scaledW - target.width()) / 2);
    const double offsetY = std::floor((scaledH - target.height()) / 2);
    return QRectF(offsetX * w / scaledW, offsetY * h / scaledH, target.width() * w / scaledW,
                  target.height() * h / scaledH);
}

namespace {

using detail::BmpRowReader;
using detail::ByteSource;
using detail::PngRowReader;
using detail::RowFitter;

// Runs one row reader into a fitter made for its picture.
template <typename Reader>
bool fitRows(Reader& reader, bool bottomUp, const FitRequest& rq, QImage& out, std::string& error,
             FitStats* stats) {
    const QSize picture = reader.size();
    QRectF area = rq.area ? *rq.area
                          : (rq.mode == FitMode::Cover ? coverArea(picture, rq.target)
                                                       : QRectF(QPointF(0, 0), QSizeF(picture)));
    if (!(area.width() > 0) || !(area.height() > 0)) {
        error = "the part of the picture to show is empty";
        return false;
    }
    RowFitter fitter(picture, area, rq.target, bottomUp, rq.aborted, rq.rows ? &rq.rows : nullptr);
    if (fitter.bandTooLarge()) {
        error = "a picture of " + std::to_string(picture.width()) + " x " +
                std::to_string(picture.height()) + " pixels cannot be shrunk to " +
                std::to_string(rq.target.width()) + " x " + std::to_string(rq.target.height()) +
                " (its rows for one target row would need more than " +
                std::to_string(detail::kMaxBandBytes >> 20) + " MB)";
        return false;
    }
    if (!fitter.ready()) {
        error = "out of memory for the fitted picture";
        return false;
    }
    const bool ok = reader.run(fitter, error);
    if (stats) {
        stats->bandBytes = fitter.bandBytes();
        stats->bufferBytes = std::max(stats->bufferBytes, fitter.bandBytes());
        stats->rowsDecoded = fitter.rowsDone();
        stats->aborted = fitter.aborted();
    }
    if (fitter.aborted()) {
        error = "the decode was stopped";
        return false;
    }
    if (fitter.refused()) {
        error = "the fitted rows could not be stored";
        return false;
    }
    if (!ok)
        return false;
    if (!fitter.complete()) {
        error = "the picture ended before its last row";
        return false;
    }
    if (!rq.rows)
        out = fitter.take();
    return true;
}

bool fitSource(ByteSource& source, PictureFormat format, const FitRequest& rq, QImage& out,
               std::string& error, FitStats* stats) {
    if (format == PictureFormat::Bmp) {
        BmpRowReader reader(source);
        if (!reader.open(rq.limits, error))
            return false;
        return fitRows(reader, reader.rowsFromBottom(), rq, out, error, stats);
    }
    PngRowReader reader(source);
    if (!reader.open(rq.limits, error))
        return false;
    if (stats && reader.wholeBytes() > 0) {
        stats->whole = true;
        stats->bufferBytes = reader.wholeBytes();
    }
    return fitRows(reader, false, rq, out, error, stats);
}

bool targetAllowed(const FitRequest& rq, std::string& error) {
    if (rq.target.width() <= 0 || rq.target.height() <= 0 ||
        !sizeAllowed(rq.target.width(), rq.target.height(), rq.limits)) {
        error = "bad target size";
        return false;
    }
    return true;
}

} // namespace

bool decodesRowByRow(const std::string& path) {
    std::string error;
    const SetFileStream file = openSetFileStream(path, error);
    if (!file)
        return false;
    std::uint8_t head[8] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file.get());
    const PictureFormat format = sniffFormat(std::span<const std::uint8_t>(head, got));
    return format == PictureFormat::Png || format == PictureFormat::Bmp;
}

bool decodeFitted(std::span<const std::uint8_t> data, const FitRequest& rq, QImage& out,
                  std::string& error, FitStats* stats) {
    out = QImage();
    if (!targetAllowed(rq, error))
        return false;
    const PictureFormat format = sniffFormat(data);
    if (format == PictureFormat::Jpeg) {
        if (rq.area) {
            error = "a JPEG is fitted whole";
            return false;
        }
        if (rq.rows)
            return decodeJpegFittedRows(data, rq.target, rq.mode, rq.rows, error, rq.limits,
                                        rq.aborted);
        return decodeJpegFitted(data, rq.target, rq.mode, out, error, rq.limits, rq.threads);
    }
    if (format == PictureFormat::Unknown) {
        error = "not a BMP, JPEG or PNG picture";
        return false;
    }
    detail::MemorySource source(data);
    return fitSource(source, format, rq, out, error, stats);
}

bool decodeFittedFile(const std::string& path, const FitRequest& rq, QImage& out,
                      std::string& error, FitStats* stats) {
    out = QImage();
    if (!targetAllowed(rq, error))
        return false;
    SetFileStream file = openSetFileStream(path, error);
    if (!file)
        return false;
    std::uint8_t head[8] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file.get());
    const PictureFormat format = sniffFormat(std::span<const std::uint8_t>(head, got));
    bool ok = false;
    if (format == PictureFormat::Jpeg) {
        file.reset();
        if (rq.area)
            error = "a JPEG is fitted whole";
        else if (rq.rows)
            return decodeJpegFittedFileRows(path, rq.target, rq.mode, rq.rows, error, rq.limits,
                                            rq.aborted);
        else
            return decodeJpegFittedFile(path, rq.target, rq.mode, out, error, rq.limits, rq.threads,
                                        rq.aborted);
    } else if (format == PictureFormat::Unknown) {
        error = "not a BMP, JPEG or PNG picture";
    } else {
        detail::FileSource source(file.get());
        ok = fitSource(source, format, rq, out, error, stats);
    }
    if (!ok)
        error = path + ": " + error;
    return ok;
}

} // namespace skyloom::graphics
