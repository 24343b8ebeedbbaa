// The streaming decode-and-fit path: rows come from one libjpeg decoder or
// from several sharing out the scans of a progressive file, and are
// resampled to the target as they arrive.

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

extern "C" {
#include <jerror.h>
}

namespace skyloom::graphics {

using detail::chooseScale;
using detail::Decompressor;
using detail::guarded;
using detail::headerChecks;
using detail::inkRowToBgrx;
using detail::ScanlineSource;
using detail::yccRow;

namespace {

QSize outputOf(const jpeg_decompress_struct& cinfo) {
    return QSize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
}

double scaleOf(const jpeg_decompress_struct& cinfo) {
    return static_cast<double>(cinfo.scale_num) / cinfo.scale_denom;
}

QSize pictureOf(const jpeg_decompress_struct& cinfo) {
    return QSize(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height));
}

bool skipRows(Decompressor& dc, int rows, int& skipped, std::string& error) {
    skipped = 0;
    if (rows <= 0)
        return true;
    JDIMENSION done = 0;
    if (!guarded(dc.err, error,
                 [&] { done = jpeg_skip_scanlines(&dc.cinfo, static_cast<JDIMENSION>(rows)); }))
        return false;
    skipped = static_cast<int>(done);
    return true;
}

bool readLine(Decompressor& dc, void* line, std::string& error) {
    return guarded(dc.err, error, [&] {
        JSAMPROW row = static_cast<JSAMPROW>(line);
        jpeg_read_scanlines(&dc.cinfo, &row, 1);
        if (dc.inks)
            inkRowToBgrx(row, dc.cinfo.output_width, dc.invertedInks);
    });
}

class SingleSource final : public ScanlineSource {
public:
    // `sharp`: a baseline file is DCT-scaled only where the resampler still
    // reduces the result by two or more (see start()).
    SingleSource(Decompressor& dc, bool sharp) : dc_(dc), sharp_(sharp) {}
    bool readHeader(const DecodeLimits& limits, std::string& error) override {
        return headerChecks(dc_, limits, error);
    }
    QSize pictureSize() const override { return pictureOf(dc_.cinfo); }
    int orientation() const override { return detail::orientationOf(dc_.cinfo); }
    bool start(int needW, int needH, std::string& error) override {
        return guarded(dc_.err, error, [&] {
            // A scaled inverse DCT leaves aliasing just below its own
            // output's limit, which a reduction by less than two would keep
            // in the picture (a detailed 24 MP photo at 1920 × 1080: 46.5 dB
            // against a full-size Lanczos reduction, 53.4 dB from the full
            // decode). A sharp fit of a baseline file therefore leaves the
            // resampler a factor of two, for about 20 % more time (entropy
            // decoding costs the same at every scale).
            const int f = sharp_ && !jpeg_has_multiple_scans(&dc_.cinfo) ? 2 : 1;
            chooseScale(dc_.cinfo, f * needW, f * needH);
            jpeg_start_decompress(&dc_.cinfo);
        });
    }
    QSize outputSize() const override { return outputOf(dc_.cinfo); }
    double scale() const override { return scaleOf(dc_.cinfo); }
    bool skip(int rows, int& skipped, std::string& error) override {
        return skipRows(dc_, rows, skipped, error);
    }
    bool readRow(QRgb* row, std::string& error) override { return readLine(dc_, row, error); }

private:
    Decompressor& dc_;
    bool sharp_;
};

// A progressive colour file decoded by two or three libjpeg decoders at
// once. The chroma decoder reads the DC and chroma AC scans and, in a thread
// of its own, keeps the Cb and Cr of every output row in a plane. The luma
// decoder (the calling thread) reads the DC and luma AC scans; when the plan
// shares those out, a third decoder (another thread) decodes the later luma
// scans into the same coefficient memory, one block row behind the first
// decoder's last scan. The luma rows then come out of the first decoder and
// are put together with the chroma plane.
class SplitSource final : public ScanlineSource {
public:
    SplitSource(std::span<const std::uint8_t> data, ProgressiveSplit split,
                const DecodeLimits& limits)
        : split_(std::move(split)), luma_(data, split_.luma, limits),
          chroma_(data, split_.chroma, limits) {
        luma_.discardComponents(0b110);
        chroma_.discardComponents(0b001);
        if (!split_.lumaLate.empty()) {
            late_ = std::make_unique<Decompressor>(data, split_.lumaLate, limits);
            late_->shareCoefficientsOf(luma_);
            // Its first scan refines what it never saw; libjpeg only warns about that.
            late_->err.tolerated = JWRN_BOGUS_PROGRESSION;
            late_->progress.hook = &SplitSource::lateMayGoOn;
            late_->progress.hookData = this;
            luma_.progress.hook = &SplitSource::earlyProgress;
            luma_.progress.hookData = this;
        }
    }
    ~SplitSource() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
            earlyScan_ = kFailed; // a waiting late decoder gives up
        }
        changed_.notify_all();
        if (chromaThread_.joinable())
            chromaThread_.join();
        if (lateThread_.joinable())
            lateThread_.join();
    }
    SplitSource(const SplitSource&) = delete;
    SplitSource& operator=(const SplitSource&) = delete;

    bool readHeader(const DecodeLimits& limits, std::string& error) override {
        if (!headerChecks(luma_, limits, error) || !headerChecks(chroma_, limits, error))
            return false;
        if (luma_.cinfo.jpeg_color_space != JCS_YCbCr ||
            chroma_.cinfo.jpeg_color_space != JCS_YCbCr || luma_.cinfo.num_components != 3) {
            error = "not a YCbCr picture";
            return false;
        }
        luma_.cinfo.out_color_space = JCS_GRAYSCALE; // decodes only the luma component
        chroma_.cinfo.out_color_space = JCS_YCbCr;
        // Smoothing only guesses coefficients of unfinished pictures; each
        // decoder here lacks the others' scans by design.
        luma_.cinfo.do_block_smoothing = FALSE;
        chroma_.cinfo.do_block_smoothing = FALSE;
        limits_ = limits;
        return true;
    }
    QSize pictureSize() const override { return pictureOf(luma_.cinfo); }
    int orientation() const override { return detail::orientationOf(luma_.cinfo); }
    bool start(int needW, int needH, std::string& error) override {
        chromaThread_ = std::thread([this, needW, needH] { decodeChroma(needW, needH); });
        if (late_) {
            lateState_ = LateState::Running; // before the thread: start() waits for its end
            lateThread_ = std::thread([this, needW, needH] { decodeLate(needW, needH); });
        }
        const bool ok = guarded(luma_.err, error, [&] {
            chooseScale(luma_.cinfo, needW, needH, true);
            jpeg_start_decompress(&luma_.cinfo);
        });
        std::unique_lock lock(mutex_);
        earlyScan_ = ok ? kDone : kFailed;
        changed_.notify_all();
        if (!ok)
            return false;
        // The luma rows need the late scans' refinements in the coefficients.
        changed_.wait(lock, [&] { return lateState_ != LateState::Running; });
        if (lateState_ == LateState::Failed) {
            error = lateError_;
            return false;
        }
        changed_.wait(lock, [&] { return chromaStarted_ || chromaFailed_; });
        if (chromaFailed_) {
            error = chromaError_;
            return false;
        }
        if (outputOf(luma_.cinfo) != outputOf(chroma_.cinfo) ||
            luma_.cinfo.output_components != 1) {
            error = "luma and chroma decoders disagree";
            return false;
        }
        lumaRow_.resize(luma_.cinfo.output_width);
        return true;
    }
    QSize outputSize() const override { return outputOf(luma_.cinfo); }
    double scale() const override { return scaleOf(luma_.cinfo); }
    bool skip(int rows, int& skipped, std::string& error) override {
        if (!skipRows(luma_, rows, skipped, error))
            return false;
        row_ = skipped;
        return true;
    }
    bool readRow(QRgb* row, std::string& error) override {
        if (!readLine(luma_, lumaRow_.data(), error))
            return false;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return chromaRows_ > row_ || chromaFailed_; });
            if (chromaRows_ <= row_) {
                error = chromaError_;
                return false;
            }
        }
        yccRow(lumaRow_.data(), plane_.data() + std::size_t(2) * lumaRow_.size() * row_, row,
               lumaRow_.size());
        ++row_;
        return true;
    }

private:
    static constexpr int kDone = INT_MAX, kFailed = -1;
    enum class LateState { Idle, Running, Finished, Failed };

    // The early luma decoder, before each row it decodes: tells the late one
    // how far it is (rows before input_iMCU_row of its current scan are done).
    static bool earlyProgress(j_decompress_ptr cinfo, void* data) {
        auto* self = static_cast<SplitSource*>(data);
        {
            std::lock_guard lock(self->mutex_);
            if (self->earlyScan_ == kDone || self->earlyScan_ == kFailed)
                return true; // the rows of the output pass report here too
            self->earlyScan_ = cinfo->input_scan_number;
            self->earlyRow_ = static_cast<int>(cinfo->input_iMCU_row);
        }
        self->changed_.notify_all();
        return true;
    }

    // The late luma decoder, before each row it decodes: waits until the
    // early decoder has finished that row of its last scan (and so of all
    // its scans). False when the early decoder failed or the source is going.
    static bool lateMayGoOn(j_decompress_ptr cinfo, void* data) {
        auto* self = static_cast<SplitSource*>(data);
        const int row = static_cast<int>(cinfo->input_iMCU_row);
        const int last = self->split_.earlyScans;
        std::unique_lock lock(self->mutex_);
        self->changed_.wait(lock, [&] {
            return self->earlyScan_ == kFailed || self->earlyScan_ > last ||
                   (self->earlyScan_ == last && self->earlyRow_ > row);
        });
        if (self->earlyScan_ == kFailed) {
            std::snprintf(self->late_->progress.failure, sizeof self->late_->progress.failure,
                          "the luma decoder stopped");
            return false;
        }
        return true;
    }

    // The late luma thread: starts once the early decoder has its coefficient
    // memory (its first progress report), then decodes its scans paced by it.
    void decodeLate(int needW, int needH) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return earlyScan_ != 0; });
            if (earlyScan_ == kFailed) {
                lateState_ = LateState::Failed;
                lateError_ = "the luma decoder stopped";
                changed_.notify_all();
                return;
            }
        }
        std::string error;
        const bool ok = headerChecks(*late_, limits_, error) && guarded(late_->err, error, [&] {
                            late_->cinfo.out_color_space = JCS_GRAYSCALE;
                            late_->cinfo.do_block_smoothing = FALSE;
                            chooseScale(late_->cinfo, needW, needH, true);
                            jpeg_start_decompress(&late_->cinfo);
                        });
        {
            std::lock_guard lock(mutex_);
            lateState_ = ok ? LateState::Finished : LateState::Failed;
            if (!ok)
                lateError_ = error;
        }
        changed_.notify_all();
    }

    // The chroma thread: entropy-decodes the chroma stream, then keeps the
    // Cb and Cr bytes of every output row in plane_.
    void decodeChroma(int needW, int needH) {
        std::string error;
        bool ok = guarded(chroma_.err, error, [&] {
            chooseScale(chroma_.cinfo, needW, needH, true);
            jpeg_start_decompress(&chroma_.cinfo);
        });
        const std::size_t width = chroma_.cinfo.output_width;
        std::vector<std::uint8_t> line;
        if (ok && chroma_.cinfo.output_components != 3) {
            error = "unexpected chroma output";
            ok = false;
        }
        if (ok) {
            try {
                line.resize(3 * width);
                plane_.resize(2 * width * chroma_.cinfo.output_height);
            } catch (const std::bad_alloc&) {
                error = "out of memory for the chroma planes";
                ok = false;
            }
        }
        {
            std::lock_guard lock(mutex_);
            chromaStarted_ = ok;
        }
        changed_.notify_all();
        for (int y = 0; ok && y < static_cast<int>(chroma_.cinfo.output_height); ++y) {
            {
                std::lock_guard lock(mutex_);
                if (stop_)
                    return;
            }
            ok = readLine(chroma_, line.data(), error);
            if (!ok)
                break;
            std::uint8_t* out = plane_.data() + 2 * width * static_cast<std::size_t>(y);
            for (std::size_t x = 0; x < width; ++x) {
                out[2 * x] = line[3 * x + 1];
                out[2 * x + 1] = line[3 * x + 2];
            }
            {
                std::lock_guard lock(mutex_);
                chromaRows_ = y + 1;
            }
            changed_.notify_all();
        }
        if (!ok) {
            {
                std::lock_guard lock(mutex_);
                chromaFailed_ = true;
                chromaError_ = error;
            }
            changed_.notify_all();
        }
    }

    ProgressiveSplit split_;
    DecodeLimits limits_;
    Decompressor luma_, chroma_;
    std::unique_ptr<Decompressor> late_; // declared after luma_: uses its coefficients
    std::vector<std::uint8_t> lumaRow_;
    std::vector<std::uint8_t> plane_; // Cb, Cr per pixel of every chroma row decoded
    int row_ = 0;                     // the next luma row

    std::thread chromaThread_, lateThread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool chromaStarted_ = false, chromaFailed_ = false, stop_ = false;
    int chromaRows_ = 0;
    std::string chromaError_;
    int earlyScan_ = 0, earlyRow_ = 0; // the early luma decoder's progress
    LateState lateState_ = LateState::Idle;
    std::string lateError_;
};

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
    SingleSource source(dc, sharp);
    return fitDecoded(source, target, mode, out, error, limits, rows);
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
            SplitSource source(data, std::move(split), limits);
            std::string why;
            if (fitDecoded(source, target, mode, out, why, limits, rows))
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
