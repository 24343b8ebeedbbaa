#include "graphics/io/JpegCodec.h"

#include "graphics/io/MappedFile.h"
#include "graphics/io/Resample.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <memory>
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
    // Reads the header; must run inside guarded() since libjpeg may fail.
    void readHeader() {
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
void chooseScale(jpeg_decompress_struct& cinfo, int minWidth, int minHeight) {
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    if (minWidth <= 0 || minHeight <= 0)
        return;
    for (unsigned denom : {8u, 4u, 2u}) {
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

bool decodeJpegFitted(std::span<const std::uint8_t> data, QSize target, FitMode mode, QImage& out,
                      std::string& error, const DecodeLimits& limits) {
    out = QImage();
    if (target.width() <= 0 || target.height() <= 0 ||
        !sizeAllowed(target.width(), target.height(), limits)) {
        error = "bad target size";
        return false;
    }
    Decompressor dc(data, limits);
    if (!headerChecks(dc, limits, error))
        return false;
    jpeg_decompress_struct& cinfo = dc.cinfo;
    const double w = cinfo.image_width, h = cinfo.image_height;
    // The part of the full-size picture that ends up on the target.
    double cropW = w, cropH = h;
    if (mode == FitMode::Cover) {
        const double scale = std::max(target.width() / w, target.height() / h);
        cropW = std::min(w, target.width() / scale);
        cropH = std::min(h, target.height() / scale);
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
    const int sw = std::max(1, static_cast<int>(std::lround(cropW * ow / w)));
    const int sh = std::max(1, static_cast<int>(std::lround(cropH * oh / h)));
    const int sx = (ow - sw) / 2, sy = (oh - sh) / 2;

    QImage image(target, QImage::Format_RGB32);
    if (image.isNull()) {
        error = "out of memory for the fitted picture";
        return false;
    }
    const ResampleAxis horizontal(sx, sw, target.width(), ow);
    const ResampleAxis vertical(sy, sh, target.height(), oh);
    RowResampler resampler(horizontal, vertical, target.width());
    // Decoded rows go straight into a ring just deep enough for one output row.
    const int depth = vertical.maxCount() + 1;
    std::vector<QRgb> ring(static_cast<std::size_t>(depth) * ow);
    std::vector<const QRgb*> rows(vertical.maxCount());
    int decoded = 0; // rows read so far
    for (int y = 0; y < target.height(); ++y) {
        const int last = vertical.first(y) + vertical.count(y) - 1;
        if (decoded <= last && !guarded(dc.err, error, [&] {
                while (decoded <= last) {
                    JSAMPROW row = reinterpret_cast<JSAMPROW>(
                        ring.data() + static_cast<std::size_t>(decoded % depth) * ow);
                    jpeg_read_scanlines(&cinfo, &row, 1);
                    ++decoded;
                }
            }))
            return false;
        for (int k = 0; k < vertical.count(y); ++k)
            rows[k] = ring.data() + static_cast<std::size_t>((vertical.first(y) + k) % depth) * ow;
        resampler.resampleRow(y, rows.data(), reinterpret_cast<QRgb*>(image.scanLine(y)), 0,
                              target.width());
    }
    // The rows below the cut-out are not needed: stop without reading them.
    jpeg_abort_decompress(&cinfo);
    out = std::move(image);
    return true;
}

bool writeJpeg(const std::string& path, const QImage& source, int quality, std::string& error) {
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
        jpeg_set_quality(&c->cinfo, std::clamp(quality, 1, 100), TRUE);
        for (int i = 0; i < c->cinfo.num_components; ++i)
            c->cinfo.comp_info[i].h_samp_factor = c->cinfo.comp_info[i].v_samp_factor = 1;
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
