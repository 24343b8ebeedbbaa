// The libjpeg row sources of the fitted decode: one decoder, or two or three
// sharing out the scans of a progressive colour file.

#include "graphics/io/JpegInternal.h"
#include "graphics/io/JpegScans.h"
#include "graphics/io/ScanlineSource.h"

#include <algorithm>
#include <climits>
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

namespace skyloom::graphics::detail {
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

} // namespace

std::unique_ptr<ScanlineSource> libjpegSource(Decompressor& dc, bool sharp) {
    return std::make_unique<SingleSource>(dc, sharp);
}

std::unique_ptr<ScanlineSource> splitProgressiveSource(std::span<const std::uint8_t> data,
                                                       ProgressiveSplit split,
                                                       const DecodeLimits& limits) {
    return std::make_unique<SplitSource>(data, std::move(split), limits);
}

} // namespace skyloom::graphics::detail
