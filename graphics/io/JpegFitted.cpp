// The streaming decode-and-fit path: rows come from our own progressive
// decoder, one libjpeg decoder or several sharing out the scans of a
// progressive file (JpegSources.cpp), and are resampled to the target as
// they arrive.

#include "graphics/io/JpegCodec.h"
#include "graphics/io/Orientation.h"

#include "graphics/io/FileIO.h"
#include "graphics/io/FitStream.h"
#include "graphics/io/JpegInternal.h"
#include "graphics/io/JpegProgressive.h"
#include "graphics/io/Resample.h"
#include "graphics/io/ScanlineSource.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace skyloom::graphics {

using detail::Decompressor;
using detail::ScanlineSource;

namespace {

// Hands decoded rows from the decoder (the calling thread) to the resampler
// (a worker thread) through a ring of rows.
struct RowPipe {
    std::mutex mutex;
    std::condition_variable changed;
    int decoded = 0;  // rows 0 .. decoded-1 are in the ring
    int released = 0; // rows below this are no longer needed by the resampler
    bool failed = false;
};

constexpr const char* kRowsRefused = "the fitted rows could not be stored";

// Fits the source onto `target`: into `out`, or row by row into `rows` when given.
bool fitDecoded(ScanlineSource& source, QSize target, FitMode mode, QImage& out, std::string& error,
                const DecodeLimits& limits, const TargetRows* rows) {
    out = QImage();
    if (target.width() <= 0 || target.height() <= 0 ||
        !sizeAllowed(target.width(), target.height(), limits)) {
        error = "bad target size";
        return false;
    }
    if (!source.readHeader(limits, error))
        return false;
    // A photo turned by a quarter is fitted as stored to the target turned
    // the same way, and turned upright afterwards.
    const int orientation = source.orientation();
    if (rows && orientation > 1) {
        error = "a turned or mirrored photo cannot be fitted row by row";
        return false;
    }
    const QSize shown = target;
    target = orientedSize(target, orientation);
    const double w = source.pictureSize().width(), h = source.pictureSize().height();
    // The part of the full-size picture that ends up on the target. Cover
    // scales the picture to fill the target (rounding its size like image
    // tools do) and cuts the overflow equally from both sides.
    double cropX = 0, cropY = 0, cropW = w, cropH = h;
    if (mode == FitMode::Cover) {
        const QRectF crop = coverArea(source.pictureSize(), target);
        cropX = crop.x();
        cropY = crop.y();
        cropW = crop.width();
        cropH = crop.height();
    }
    // Decode at the DCT scale that still gives the cut-out at least target size.
    const int needW = static_cast<int>(std::ceil(target.width() * w / cropW - 1e-6));
    const int needH = static_cast<int>(std::ceil(target.height() * h / cropH - 1e-6));
    if (!source.start(needW, needH, error))
        return false;
    const int ow = source.outputSize().width(), oh = source.outputSize().height();
    const double fx = source.scale(), fy = fx; // decoded pixels per full-size pixel

    // Rows handed on are resampled into one row of their own.
    QImage image(rows ? QSize(target.width(), 1) : target, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "out of memory for the fitted picture";
        return false;
    }
    mapInAtOnce(image);
    bool rowsRefused = false;
    const int outH = target.height();
    const ResampleAxis horizontal(cropX * fx, cropW * fx, target.width(), ow);
    const ResampleAxis vertical(cropY * fy, cropH * fy, outH, oh);
    RowResampler resampler(horizontal, vertical, target.width());
    // The ring holds the rows one output row needs plus slack for the decoder to run ahead.
    const int depth = vertical.maxCount() + 32;
    std::vector<QRgb> ring(static_cast<std::size_t>(depth) * ow);
    auto slot = [&](int row) { return ring.data() + static_cast<std::size_t>(row % depth) * ow; };
    RowPipe pipe;
    pipe.released = vertical.lowest();

    std::thread worker([&] {
        std::vector<const QRgb*> band(vertical.maxCount());
        for (int y = 0; y < outH; ++y) {
            const int last = vertical.first(y) + vertical.count(y) - 1;
            {
                std::unique_lock lock(pipe.mutex);
                pipe.changed.wait(lock, [&] { return pipe.decoded > last || pipe.failed; });
                if (pipe.failed)
                    return;
            }
            for (int k = 0; k < vertical.count(y); ++k)
                band[k] = slot(vertical.first(y) + k);
            QRgb* into = reinterpret_cast<QRgb*>(image.scanLine(rows ? 0 : y));
            resampler.resampleRow(y, band.data(), into, 0, target.width());
            if (rows && !(*rows)(y, into)) {
                std::lock_guard lock(pipe.mutex);
                rowsRefused = pipe.failed = true;
                pipe.changed.notify_all();
                return;
            }
            {
                std::lock_guard lock(pipe.mutex);
                pipe.released = y + 1 < outH ? vertical.first(y + 1) : INT_MAX / 2;
            }
            pipe.changed.notify_all();
        }
    });

    // Rows above the cut-out are skipped, rows below it never read.
    const int firstNeeded = vertical.lowest(), lastNeeded = vertical.highest();
    int row = 0;
    bool ok = source.skip(firstNeeded, row, error);
    if (ok) {
        std::lock_guard lock(pipe.mutex);
        pipe.decoded = row;
    }
    for (; ok && row <= lastNeeded; ++row) {
        {
            std::unique_lock lock(pipe.mutex);
            pipe.changed.wait(lock, [&] { return row < pipe.released + depth || pipe.failed; });
            if (pipe.failed)
                break;
        }
        ok = source.readRow(slot(row), error);
        if (ok) {
            std::lock_guard lock(pipe.mutex);
            pipe.decoded = row + 1;
        }
        pipe.changed.notify_all();
    }
    if (!ok) {
        std::lock_guard lock(pipe.mutex);
        pipe.failed = true;
    }
    pipe.changed.notify_all();
    worker.join();
    if (rowsRefused) {
        error = kRowsRefused;
        return false;
    }
    if (!ok)
        return false;
    if (rows)
        return true;
    out = applyOrientation(image, orientation);
    if (out.size() != shown) {
        error = "out of memory for the turned picture";
        out = QImage();
        return false;
    }
    return true;
}

bool askAborted(j_decompress_ptr, void* data) {
    return !(*static_cast<const std::function<bool()>*>(data))();
}

bool fitSingle(Decompressor& dc, QSize target, FitMode mode, QImage& out, std::string& error,
               const DecodeLimits& limits, const std::function<bool()>& aborted, bool sharp,
               const TargetRows* rows) {
    if (aborted) {
        // libjpeg reports its progress as it decodes each row of input.
        dc.progress.hook = &askAborted;
        dc.progress.hookData = const_cast<std::function<bool()>*>(&aborted);
        std::snprintf(dc.progress.failure, sizeof dc.progress.failure, "the decode was stopped");
    }
    const std::unique_ptr<ScanlineSource> source = detail::libjpegSource(dc, sharp);
    return fitDecoded(*source, target, mode, out, error, limits, rows);
}

bool fitJpeg(std::span<const std::uint8_t> data, QSize target, FitMode mode, QImage& out,
             const TargetRows* rows, std::string& error, const DecodeLimits& limits,
             JpegThreads threads, const std::function<bool()>& aborted) {
    {
        // Our own decoder halves progressive files for the saver and the
        // wallpaper alike: its inverse DCT of the kept coefficients stays
        // above 51 dB against a full-size Lanczos reduction (libjpeg's
        // halving: about 46), in half the memory of a full-size decode.
        const std::unique_ptr<ScanlineSource> source =
            detail::ownProgressiveSource(data, limits, aborted);
        std::string why;
        if (fitDecoded(*source, target, mode, out, why, limits, rows))
            return true;
        if (source->stopped() || why == kRowsRefused) {
            error = why;
            return false;
        }
        // Files it does not take, and any damage it finds, go to libjpeg.
    }
    if (threads == JpegThreads::Several) {
        ProgressiveSplit split;
        if (planProgressiveSplit(data, split, limits.maxScans)) {
            const std::unique_ptr<ScanlineSource> source =
                detail::splitProgressiveSource(data, std::move(split), limits);
            std::string why;
            if (fitDecoded(*source, target, mode, out, why, limits, rows))
                return true;
            // Whatever the split decoders disliked, the single decoder reports on.
        }
    }
    // The saver's pictures are fitted sharply; the wallpaper, which wants
    // speed, keeps the strongest DCT scale that still has full size.
    Decompressor dc(data, limits);
    return fitSingle(dc, target, mode, out, error, limits, aborted, threads == JpegThreads::One,
                     rows);
}

bool fitJpegFile(const std::string& path, QSize target, FitMode mode, QImage& out,
                 const TargetRows* rows, std::string& error, const DecodeLimits& limits,
                 JpegThreads threads, const std::function<bool()>& aborted) {
    SetFileStream file = openSetFileStream(path, error);
    if (!file)
        return false;
    // Progressive files are decoded from the whole file in memory; other
    // files are read a buffer at a time.
    if (detail::fileLooksProgressive(file.get())) {
        file.reset();
        FileBytes whole(path);
        if (!whole.ok()) {
            error = whole.error();
            return false;
        }
        if (!fitJpeg(whole.bytes(), target, mode, out, rows, error, limits, threads, aborted)) {
            error = path + ": " + error;
            return false;
        }
        return true;
    }
    std::rewind(file.get());
    Decompressor dc(file.get(), limits);
    if (!fitSingle(dc, target, mode, out, error, limits, aborted, threads == JpegThreads::One,
                   rows)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace

bool decodeJpegFitted(std::span<const std::uint8_t> data, QSize target, FitMode mode, QImage& out,
                      std::string& error, const DecodeLimits& limits, JpegThreads threads,
                      const std::function<bool()>& aborted) {
    return fitJpeg(data, target, mode, out, nullptr, error, limits, threads, aborted);
}

bool decodeJpegFittedRows(std::span<const std::uint8_t> data, QSize target, FitMode mode,
                          const TargetRows& rows, std::string& error, const DecodeLimits& limits,
                          const std::function<bool()>& aborted) {
    QImage none;
    return fitJpeg(data, target, mode, none, &rows, error, limits, JpegThreads::One, aborted);
}

bool decodeJpegFittedFile(const std::string& path, QSize target, FitMode mode, QImage& out,
                          std::string& error, const DecodeLimits& limits, JpegThreads threads,
                          const std::function<bool()>& aborted) {
    return fitJpegFile(path, target, mode, out, nullptr, error, limits, threads, aborted);
}

bool decodeJpegFittedFileRows(const std::string& path, QSize target, FitMode mode,
                              const TargetRows& rows, std::string& error,
                              const DecodeLimits& limits, const std::function<bool()>& aborted) {
    QImage none;
    return fitJpegFile(path, target, mode, none, &rows, error, limits, JpegThreads::One, aborted);
}

} // namespace skyloom::graphics
