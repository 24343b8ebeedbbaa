#include "graphics/io/JpegCodec.h"

#include "graphics/io/FileIO.h"
#include "graphics/io/Resample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace skyloom::graphics {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// we jump back to the call site instead of letting it call exit().
struct ErrorManager {
    jpeg_error_mgr pub{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (level -1) mean corrupt data: the rest of the picture would be
// grey. They are errors here, except a note about stray bytes between
// markers, which cameras write and which costs no pixels.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code != JWRN_EXTRANEOUS_DATA)
        onError(cinfo);
}

struct ProgressGuard {
    jpeg_progress_mgr pub{};
    int maxScans = 100;
};

void onProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* guard = reinterpret_cast<ProgressGuard*>(cinfo->progress);
    if (d->input_scan_number > guard->maxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "JPEG has more than %d scans",
                      guard->maxScans);
        std::longjmp(err->jump, 1);
    }
}

// Owns one decompressor; everything that must survive a longjmp lives here
// and not on the stack frame of the function that calls setjmp.
class Decompressor {
public:
    Decompressor(std::span<const std::uint8_t> data, const DecodeLimits& limits) {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = onError;
        err.pub.emit_message = onMessage;
        progress.pub.progress_monitor = onProgress;
        progress.maxScans = limits.maxScans;
        jpeg_create_decompress(&cinfo);
        cinfo.progress = &progress.pub;
        cinfo.mem->max_memory_to_use = static_cast<long>(limits.maxJpegMemory);
        data_ = data;
    }
    /// Reads from an open file instead of memory, a buffer at a time.
    Decompressor(std::FILE* file, const DecodeLimits& limits)
        : Decompressor(std::span<const std::uint8_t>{}, limits) {
        file_ = file;
    }
    // Reads the header; must run inside guarded() since libjpeg may fail.
    void readHeader() {
        if (file_)
            jpeg_stdio_src(&cinfo, file_);
        else
            jpeg_mem_src(&cinfo, data_.data(), static_cast<unsigned long>(data_.size()));
        jpeg_read_header(&cinfo, TRUE);
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    ProgressGuard progress;

private:
    std::span<const std::uint8_t> data_;
    std::FILE* file_ = nullptr;
};

// Runs libjpeg calls with the error jump armed. The callable must not own
// anything with a destructor: a longjmp out of it skips destructors.
template <class F> bool guarded(ErrorManager& err, std::string& error, F&& calls) {
    if (setjmp(err.jump)) {
        error = err.message;
        return false;
    }
    calls();
    return true;
}

bool headerChecks(Decompressor& dc, const DecodeLimits& limits, std::string& error) {
    if (!guarded(dc.err, error, [&] { dc.readHeader(); }))
        return false;
    if (!sizeAllowed(dc.cinfo.image_width, dc.cinfo.image_height, limits)) {
        error = "JPEG picture is too large";
        return false;
    }
    dc.cinfo.out_color_space = JCS_EXT_BGRX; // the byte order of QImage::Format_RGB32
    return true;
}

// Picks the strongest of the fast DCT scales 1/8, 1/4, 1/2 whose output is
// at least minWidth × minHeight (3/8, 6/8 and the like take slow paths).
// Progressive files spend their time in entropy decoding, which scaling
// does not shorten: halving saves them little and costs detail, so they
// are only scaled by 1/4 or 1/8.
void chooseScale(jpeg_decompress_struct& cinfo, int minWidth, int minHeight) {
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    if (minWidth <= 0 || minHeight <= 0)
        return;
    const bool progressive = jpeg_has_multiple_scans(&cinfo);
    for (unsigned denom : {8u, 4u, 2u}) {
        if (progressive && denom == 2)
            break;
        cinfo.scale_denom = denom;
        jpeg_calc_output_dimensions(&cinfo);
        if (static_cast<int>(cinfo.output_width) >= minWidth &&
            static_cast<int>(cinfo.output_height) >= minHeight)
            return;
    }
    cinfo.scale_denom = 1;
}

} // namespace

bool readJpegSize(std::span<const std::uint8_t> data, QSize& size, std::string& error) {
    Decompressor dc(data, DecodeLimits{});
    if (!guarded(dc.err, error, [&] { dc.readHeader(); }))
        return false;
    size = QSize(static_cast<int>(dc.cinfo.image_width), static_cast<int>(dc.cinfo.image_height));
    return true;
}

bool decodeJpeg(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                const JpegDecodeOptions& options) {
    out = QImage();
    Decompressor dc(data, options.limits);
    if (!headerChecks(dc, options.limits, error))
        return false;
    jpeg_decompress_struct& cinfo = dc.cinfo;
    if (!guarded(dc.err, error, [&] {
            chooseScale(cinfo, options.minWidth, options.minHeight);
            jpeg_start_decompress(&cinfo);
        }))
        return false;
    QImage image(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        error = "out of memory for the JPEG picture";
        return false;
    }
    const bool ok = guarded(dc.err, error, [&] {
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = image.scanLine(static_cast<int>(cinfo.output_scanline));
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
    });
    if (ok)
        out = std::move(image);
    return ok;
}

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

bool fitDecoded(Decompressor& dc, QSize target, FitMode mode, QImage& out, std::string& error,
                const DecodeLimits& limits) {
    out = QImage();
    if (target.width() <= 0 || target.height() <= 0 ||
        !sizeAllowed(target.width(), target.height(), limits)) {
        error = "bad target size";
        return false;
    }
    if (!headerChecks(dc, limits, error))
        return false;
    jpeg_decompress_struct& cinfo = dc.cinfo;
    const double w = cinfo.image_width, h = cinfo.image_height;
    // The part of the full-size picture that ends up on the target. Cover
    // scales the picture to fill the target (rounding its size like image
    // tools do) and cuts the overflow equally from both sides.
    double cropX = 0, cropY = 0, cropW = w, cropH = h;
    if (mode == FitMode::Cover) {
        const double scale = std::max(target.width() / w, target.height() / h);
        const double scaledW = std::max<double>(target.width(), std::round(w * scale));
        const double scaledH = std::max<double>(target.height(), std::round(h * scale));
        const double offsetX = std::floor((scaledW - target.width()) / 2);
        const double offsetY = std::floor((scaledH - target.height()) / 2);
        cropX = offsetX * w / scaledW;
        cropY = offsetY * h / scaledH;
        cropW = target.width() * w / scaledW;
        cropH = target.height() * h / scaledH;
    }
    // Decode at the DCT scale that still gives the cut-out at least target size.
    const int needW = static_cast<int>(std::ceil(target.width() * w / cropW - 1e-6));
    const int needH = static_cast<int>(std::ceil(target.height() * h / cropH - 1e-6));
    if (!guarded(dc.err, error, [&] {
            chooseScale(cinfo, needW, needH);
            jpeg_start_decompress(&cinfo);
        }))
        return false;
    const int ow = static_cast<int>(cinfo.output_width), oh = static_cast<int>(cinfo.output_height);
    const double fx = ow / w, fy = oh / h; // decoded pixels per full-size pixel

    QImage image(target, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "out of memory for the fitted picture";
        return false;
    }
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
        std::vector<const QRgb*> rows(vertical.maxCount());
        for (int y = 0; y < outH; ++y) {
            const int last = vertical.first(y) + vertical.count(y) - 1;
            {
                std::unique_lock lock(pipe.mutex);
                pipe.changed.wait(lock, [&] { return pipe.decoded > last || pipe.failed; });
                if (pipe.failed)
                    return;
            }
            for (int k = 0; k < vertical.count(y); ++k)
                rows[k] = slot(vertical.first(y) + k);
            resampler.resampleRow(y, rows.data(), reinterpret_cast<QRgb*>(image.scanLine(y)), 0,
                                  target.width());
            {
                std::lock_guard lock(pipe.mutex);
                pipe.released = y + 1 < outH ? vertical.first(y + 1) : INT_MAX / 2;
            }
            pipe.changed.notify_all();
        }
    });

    // Rows above the cut-out are skipped, rows below it never read.
    const int firstNeeded = vertical.lowest(), lastNeeded = vertical.highest();
    const bool ok = guarded(dc.err, error, [&] {
        int row = 0;
        if (firstNeeded > 0)
            row =
                static_cast<int>(jpeg_skip_scanlines(&cinfo, static_cast<JDIMENSION>(firstNeeded)));
        {
            std::lock_guard lock(pipe.mutex);
            pipe.decoded = row;
        }
        for (; row <= lastNeeded; ++row) {
            {
                std::unique_lock lock(pipe.mutex);
                pipe.changed.wait(lock, [&] { return row < pipe.released + depth; });
            }
            JSAMPROW line = reinterpret_cast<JSAMPROW>(slot(row));
            jpeg_read_scanlines(&cinfo, &line, 1);
            {
                std::lock_guard lock(pipe.mutex);
                pipe.decoded = row + 1;
            }
            pipe.changed.notify_all();
        }
    });
    if (!ok) {
        std::lock_guard lock(pipe.mutex);
        pipe.failed = true;
    }
    pipe.changed.notify_all();
    worker.join();
    if (!ok)
        return false;
    jpeg_abort_decompress(&cinfo);
    out = std::move(image);
    return true;
}

} // namespace

bool decodeJpegFitted(std::span<const std::uint8_t> data, QSize target, FitMode mode, QImage& out,
                      std::string& error, const DecodeLimits& limits) {
    Decompressor dc(data, limits);
    return fitDecoded(dc, target, mode, out, error, limits);
}

bool decodeJpegFittedFile(const std::string& path, QSize target, FitMode mode, QImage& out,
                          std::string& error, const DecodeLimits& limits) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rbe"),
                                                         &std::fclose);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    Decompressor dc(file.get(), limits);
    if (!fitDecoded(dc, target, mode, out, error, limits)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool writeJpeg(const std::string& path, const QImage& image, int quality, std::string& error) {
    JpegEncodeOptions options;
    options.quality = quality;
    return writeJpeg(path, image, options, error);
}

bool writeJpeg(const std::string& path, const QImage& source, const JpegEncodeOptions& options,
               std::string& error) {
    if (source.isNull()) {
        error = "no picture to save";
        return false;
    }
    const QImage image = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    struct Compressor {
        jpeg_compress_struct cinfo{};
        ErrorManager err;
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        ~Compressor() {
            jpeg_destroy_compress(&cinfo);
            std::free(buffer);
        }
    };
    auto c = std::make_unique<Compressor>();
    c->cinfo.err = jpeg_std_error(&c->err.pub);
    c->err.pub.error_exit = onError;
    const bool ok = guarded(c->err, error, [&] {
        jpeg_create_compress(&c->cinfo);
        jpeg_mem_dest(&c->cinfo, &c->buffer, &c->size);
        c->cinfo.image_width = static_cast<JDIMENSION>(image.width());
        c->cinfo.image_height = static_cast<JDIMENSION>(image.height());
        c->cinfo.input_components = 4;
        c->cinfo.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&c->cinfo);
        jpeg_set_quality(&c->cinfo, std::clamp(options.quality, 1, 100), TRUE);
        if (!options.subsampled)
            for (int i = 0; i < c->cinfo.num_components; ++i)
                c->cinfo.comp_info[i].h_samp_factor = c->cinfo.comp_info[i].v_samp_factor = 1;
        if (options.progressive)
            jpeg_simple_progression(&c->cinfo);
        jpeg_start_compress(&c->cinfo, TRUE);
        while (c->cinfo.next_scanline < c->cinfo.image_height) {
            JSAMPROW row =
                const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(c->cinfo.next_scanline)));
            jpeg_write_scanlines(&c->cinfo, &row, 1);
        }
        jpeg_finish_compress(&c->cinfo);
    });
    if (!ok)
        return false;
    AtomicFileWriter file(path);
    file.write(c->buffer, c->size);
    if (!file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

} // namespace skyloom::graphics
